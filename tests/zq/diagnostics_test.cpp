// The debug log: switch, first-write truncation, error reports and names.
#include "zq_test_support.h"

#include "diagnostics.h"
#include "zq.h"

namespace {

class Diagnostics : public zqtest::ZqTest {};

TEST_F(Diagnostics, OnlyLinesWrittenWhileOnReachTheLogAndTheFirstEmptiesIt) {
    zqtest::WriteBytes("debug.log", {'o', 'l', 'd', '\n'});
    ZQRegError("not logged");
    EXPECT_EQ(ZQLoadBitmap(nullptr, "missing.bmp", 1), nullptr);
    EXPECT_EQ(Log(), "old\n");

    ZQDebugEnable(1);
    ZQRegError("one");
    EXPECT_EQ(Log(), "one\n");
    ZQDebugEnable(0);
    ZQRegError("dropped");
    ZQDebugEnable(1);
    ZQRegError("two");
    EXPECT_EQ(Log(), "one\ntwo\n");
}

TEST_F(Diagnostics, ReportedTextIsNeverAFormatAndIsCutToTheBuffer) {
    ZQDebugEnable(1);
    ZQRegError("a%d%s%n.bmp");
    EXPECT_EQ(ZQLoadBitmap(nullptr, "a%d.bmp", 1), nullptr);
    EXPECT_EQ(Log(), "a%d%s%n.bmp\nReadBMPFile: error opening file <a%d.bmp>\n"
                     "LoadBitmapFromMemory : invalid memory bitmap\n");

    ZQDebugEnable(0);
    g_pLogFile = nullptr;
    ZQDebugEnable(1);
    ZQRegError(std::string(5000, 'x').c_str());
    EXPECT_EQ(Log(), std::string(sizeof g_ErrorText - 1, 'x'));
}

TEST_F(Diagnostics, DirectDrawFailureNamesTheErrorModuleAndLine) {
    ZQDebugEnable(1);
    ReportDDError(static_cast<HRESULT>(0x887601C2), "zq/bitmap.cpp", 123);
    ReportDDError(static_cast<HRESULT>(0x88760001), "zq/glue.cpp", 7);
    EXPECT_EQ(Log(), "DirectDraw Error DDERR_SURFACELOST\nin file zq/bitmap.cpp at line 123\n"
                     "DirectDraw Error Unknown Error\nin file zq/glue.cpp at line 7\n");
}

TEST_F(Diagnostics, NameTableAgreesWithTheDirectDrawCodes) {
#define EXPECT_NAMED(code) EXPECT_STREQ(DDErrorName(code), #code)
    EXPECT_NAMED(DDERR_UNSUPPORTED);
    EXPECT_NAMED(DDERR_GENERIC);
    EXPECT_NAMED(DDERR_NOTINITIALIZED);
    EXPECT_NAMED(DDERR_OUTOFMEMORY);
    EXPECT_NAMED(DDERR_INVALIDPARAMS);
    EXPECT_NAMED(DDERR_ALREADYINITIALIZED);
    EXPECT_NAMED(DDERR_NOT4BITCOLORINDEX);
    EXPECT_NAMED(DDERR_OVERLAYCOLORKEYONLYONEACTIVE);
    EXPECT_NAMED(DDERR_VERTICALBLANKINPROGRESS);
    EXPECT_NAMED(DDERR_NOCLIPPERATTACHED);
    EXPECT_NAMED(DDERR_INVALIDSURFACETYPE);
    EXPECT_NAMED(DDERR_DCALREADYCREATED);
    EXPECT_NAMED(DDERR_NOTPAGELOCKED);
#undef EXPECT_NAMED
    EXPECT_STREQ(DDErrorName(DD_OK), "Unknown Error");
    EXPECT_STREQ(DDErrorName(static_cast<HRESULT>(0x88760000 + 681)), "Unknown Error");
}

} // namespace
