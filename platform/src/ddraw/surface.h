// IDirectDrawSurface: the primary surface (with or without a flipping chain) and
// off-screen surfaces in system or video memory.
#pragma once

#include "ddraw/blitter.h"
#include "ddraw/display.h"
#include "ddraw/overdrawn_copies.h"
#include "ddraw/repeated_blits.h"
#include "pixels/damage.h"

#include <ddraw.h>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

namespace ludora::video {

class Clipper;
class Palette;

class Surface final : public IDirectDrawSurface {
public:
    Surface(std::shared_ptr<Display> display, int width, int height, const PixelFormat& format,
            DWORD caps);
    ~Surface() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE) override;
    HRESULT STDMETHODCALLTYPE AddOverlayDirtyRect(LPRECT) override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT dest_rect, LPDIRECTDRAWSURFACE source, LPRECT source_rect,
                                  DWORD flags, LPDDBLTFX fx) override;
    HRESULT STDMETHODCALLTYPE BltBatch(LPDDBLTBATCH, DWORD, DWORD) override;
    HRESULT STDMETHODCALLTYPE BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE source,
                                      LPRECT source_rect, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE) override;
    HRESULT STDMETHODCALLTYPE EnumAttachedSurfaces(LPVOID context,
                                                   LPDDENUMSURFACESCALLBACK callback) override;
    HRESULT STDMETHODCALLTYPE EnumOverlayZOrders(DWORD, LPVOID, LPDDENUMSURFACESCALLBACK) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE target, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS caps,
                                                 LPDIRECTDRAWSURFACE FAR* out) override;
    HRESULT STDMETHODCALLTYPE GetBltStatus(DWORD) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS caps) override;
    HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER FAR* out) override;
    HRESULT STDMETHODCALLTYPE GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC FAR* out) override;
    HRESULT STDMETHODCALLTYPE GetFlipStatus(DWORD) override;
    HRESULT STDMETHODCALLTYPE GetOverlayPosition(LPLONG, LPLONG) override;
    HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE FAR* out) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT format) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC desc) override;
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW, LPDDSURFACEDESC) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags,
                                   HANDLE event) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT STDMETHODCALLTYPE SetOverlayPosition(LONG, LONG) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID) override;
    HRESULT STDMETHODCALLTYPE UpdateOverlay(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD,
                                            LPDDOVERLAYFX) override;
    HRESULT STDMETHODCALLTYPE UpdateOverlayDisplay(DWORD) override;
    HRESULT STDMETHODCALLTYPE UpdateOverlayZOrder(DWORD, LPDIRECTDRAWSURFACE) override;

    // Gives the front buffer `count` back buffers of its own size and format.
    void make_flipping_chain(int count, DWORD back_caps);
    void set_key(DWORD which, const DDCOLORKEY& key);

    Canvas canvas() const;
    DWORD caps() const { return caps_; }
    const Display& display() const { return *display_; }
    Palette* palette() const { return palette_; }
    Clipper* clipper() const { return clipper_; }
    bool is_visible_primary() const { return display_->primary == this; }
    bool lost() const { return lost_.load(); }
    // Video-memory surfaces and the primary chain lose their memory on a mode change.
    bool losable() const {
        return (caps_ & (DDSCAPS_VIDEOMEMORY | DDSCAPS_PRIMARYSURFACE)) || front_;
    }
    void mark_lost() { lost_ = true; }

    // Tells this surface from every other, made before or after.
    uint64_t id() const { return id_; }
    // What has been written to the surface's memory, and when.
    const DamageHistory& damage() const { return damage_; }
    // Its palette's colours changed: every pixel may show another colour.
    void colours_changed() { damage_.add_whole(); }
    // Makes the copies this surface holds back, before its memory is read.
    void settle();

    static ptrdiff_t pitch_for(int width, const PixelFormat& format);
    static DWORD bytes_for(int width, int height, const PixelFormat& format);

private:
    bool busy() const { return locks_ > 0 || dc_ != nullptr; }
    void changed(); // shows the primary after a change
    // Blits `request` onto this surface from `source` (null for a fill), or
    // holds it back as part of a run seen before (unless `may_wait` is false:
    // it is a held blit being made).
    void blit_tracked(const BlitRequest& request, const Surface* source, bool may_wait = true);
    // A blit made before is redone only where its source or this surface
    // changed since.
    void blit_repeated(const BlitRequest& request, const Surface* source, BlitRecord now,
                       const RECT& area, bool stretched);
    // A copy held back with the blits over it that came as last time, waiting
    // for the rest of the run that would leave its place as it is. The run
    // stays where it is meanwhile: runs change only when the surface is read,
    // after everything waiting is made.
    struct WaitingRun {
        const CopyRun* run = nullptr;
        size_t held = 0; // how many came: the copy, then the run's overs in order
        std::array<const Surface*, OverdrawnCopies::kLongestRun + 1> sources{};
        const BlitRecord& record(size_t i) const { return i == 0 ? run->copy : run->overs[i - 1]; }
    };
    bool may_hold_back(const CopyRun& run) const;
    // Holds `blit` when it is the next of the one waiting run it meets (and
    // drops that run when it is the last), or drops it when it repeats the
    // blit before; false when it must be made.
    bool joins_waiting(const BlitRecord& blit, const RECT& area, const Surface* source);
    void release(const WaitingRun& waiting);
    void make_waiting(size_t index);
    void settle_meeting(const RECT& area);
    // Before the memory is written other than by a blit (over `area`): what
    // this surface holds back is made, and what others hold back to read it.
    void settle_before_writing(const RECT& area);
    // Before `source` is written: the copies waiting to read it are made.
    static void settle_readers_of(const Surface* source);
    ColorKeyRange key_range(DWORD which) const;

    std::atomic<ULONG> refs_{1};
    const uint64_t id_;
    std::shared_ptr<Display> display_;
    int width_;
    int height_;
    PixelFormat format_;
    DDPIXELFORMAT dd_format_; // as GetSurfaceDesc reports it, asked for every blit
    DWORD caps_;
    ptrdiff_t pitch_;
    std::vector<uint8_t> memory_;
    DamageHistory damage_;
    RepeatedBlits repeated_blits_;
    OverdrawnCopies overdrawn_;
    std::vector<WaitingRun> waiting_;
    size_t last_joined_ = 0; // where joins_waiting looks first
    // Copies other surfaces hold back that will read this one.
    mutable std::atomic<int> readers_waiting_{0};
    RECT locked_{}; // what the outstanding locks may write
    bool has_source_key_ = false, has_dest_key_ = false;
    DDCOLORKEY source_key_{}, dest_key_{};
    Palette* palette_ = nullptr;
    Clipper* clipper_ = nullptr;
    std::vector<Surface*> chain_; // back buffers, owned by the front buffer
    Surface* front_ = nullptr;    // set on back buffers
    int locks_ = 0;
    HDC dc_ = nullptr;
    std::atomic<bool> lost_{false};
};

// Shows the front buffer through the window area (host::services().present).
void present_primary(const Surface& front);

} // namespace ludora::video
