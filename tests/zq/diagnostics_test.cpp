// The debug log: switch, first-write truncation, error reports and names.
#include "zq_test_support.h"

#include "diagnostics.h"
#include "zq.h"

#include <string>

using zqtest::ZqTest;

namespace {

class Diagnostics : public ZqTest {};

TEST_F(Diagnostics, NothingIsWrittenWhileLoggingIsOff) {
    ZQRegError("not logged");
    EXPECT_EQ(ZQLoadBitmap(nullptr, "missing.bmp", 1), nullptr);
    DebugLog("CREATE:<%p>%s\n", static_cast<void*>(nullptr), "x");
    EXPECT_FALSE(std::filesystem::exists("debug.log"));

    // Switching on again later still starts with an empty file.
    ZQDebugEnable(1);
    ZQRegError("first");
    EXPECT_EQ(Log(), "first\n");
}

TEST_F(Diagnostics, FirstLineOfTheProcessEmptiesTheFileLaterLinesAppend) {
    zqtest::WriteBytes("debug.log", {'o', 'l', 'd', '\n'});
    ZQDebugEnable(1);
    ZQRegError("one");
    EXPECT_EQ(Log(), "one\n");
    ZQRegError("two");
    ZQDebugEnable(0);
    ZQRegError("dropped");
    ZQDebugEnable(1);
    ZQRegError("three");
    EXPECT_EQ(Log(), "one\ntwo\nthree\n");
}

TEST_F(Diagnostics, ReportedTextIsNeverUsedAsAFormat) {
    ZQDebugEnable(1);
    ZQRegError("a%d%s%n.bmp");
    EXPECT_EQ(ZQLoadBitmap(nullptr, "a%d.bmp", 1), nullptr);
    EXPECT_EQ(Log(), "a%d%s%n.bmp\nReadBMPFile: error opening file <a%d.bmp>\n");
}

TEST_F(Diagnostics, OverlongReportIsCutToTheBuffer) {
    ZQDebugEnable(1);
    const std::string text(5000, 'x');
    ZQRegError(text.c_str());
    const std::string log = Log();
    EXPECT_EQ(log.size(), sizeof g_ErrorText - 1);
    EXPECT_EQ(log, std::string(sizeof g_ErrorText - 1, 'x'));
}

TEST_F(Diagnostics, DirectDrawFailureNamesTheErrorModuleAndLine) {
    ZQDebugEnable(1);
    ReportDDError(static_cast<HRESULT>(0x887601C2), "zq/bitmap.cpp", 123);
    EXPECT_EQ(Log(), "DirectDraw Error DDERR_SURFACELOST\nin file zq/bitmap.cpp at line 123\n");
    EXPECT_STREQ(g_ErrorText,
                 "DirectDraw Error DDERR_SURFACELOST\nin file zq/bitmap.cpp at line 123\n");

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
    EXPECT_NAMED(DDERR_CANNOTATTACHSURFACE);
    EXPECT_NAMED(DDERR_CURRENTLYNOTAVAIL);
    EXPECT_NAMED(DDERR_INVALIDCAPS);
    EXPECT_NAMED(DDERR_INVALIDMODE);
    EXPECT_NAMED(DDERR_INVALIDPIXELFORMAT);
    EXPECT_NAMED(DDERR_INVALIDRECT);
    EXPECT_NAMED(DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_NAMED(DDERR_NOEXCLUSIVEMODE);
    EXPECT_NAMED(DDERR_NOT4BITCOLORINDEX);
    EXPECT_NAMED(DDERR_OUTOFVIDEOMEMORY);
    EXPECT_NAMED(DDERR_PALETTEBUSY);
    EXPECT_NAMED(DDERR_SURFACEBUSY);
    EXPECT_NAMED(DDERR_SURFACELOST);
    EXPECT_NAMED(DDERR_TOOBIGSIZE);
    EXPECT_NAMED(DDERR_UNSUPPORTEDMODE);
    EXPECT_NAMED(DDERR_VERTICALBLANKINPROGRESS);
    EXPECT_NAMED(DDERR_WASSTILLDRAWING);
    EXPECT_NAMED(DDERR_XALIGN);
    EXPECT_NAMED(DDERR_INVALIDDIRECTDRAWGUID);
    EXPECT_NAMED(DDERR_NOCLIPPERATTACHED);
    EXPECT_NAMED(DDERR_NOPALETTEATTACHED);
    EXPECT_NAMED(DDERR_EXCLUSIVEMODEALREADYSET);
    EXPECT_NAMED(DDERR_NOTFLIPPABLE);
    EXPECT_NAMED(DDERR_CANTCREATEDC);
    EXPECT_NAMED(DDERR_WRONGMODE);
    EXPECT_NAMED(DDERR_INVALIDSURFACETYPE);
    EXPECT_NAMED(DDERR_DCALREADYCREATED);
    EXPECT_NAMED(DDERR_CANTPAGELOCK);
    EXPECT_NAMED(DDERR_NOTPAGELOCKED);
#undef EXPECT_NAMED
    EXPECT_STREQ(DDErrorName(DD_OK), "Unknown Error");
    EXPECT_STREQ(DDErrorName(static_cast<HRESULT>(0x88760000 + 681)), "Unknown Error");
}

} // namespace
