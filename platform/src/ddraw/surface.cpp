#include "ddraw/surface.h"

#include "core/host_services.h"
#include "ddraw/clipper.h"
#include "ddraw/dd_pixel_format.h"
#include "ddraw/palette.h"
#include "ddraw/surface_desc.h"
#include "ddraw/surface_registry.h"

#include <algorithm>
#include <cstring>

namespace ludora::video {

namespace {

Surface* as_surface(LPDIRECTDRAWSURFACE s) {
    return static_cast<Surface*>(s);
}

std::atomic<uint64_t> g_surfaces_made{0};

RECT offset_rect(const RECT& r, LONG dx, LONG dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

} // namespace

// Rows start on 8-byte boundaries, as display memory usually does.
ptrdiff_t Surface::pitch_for(int width, const PixelFormat& format) {
    return ((static_cast<ptrdiff_t>(width) * format.bits + 63) / 64) * 8;
}

DWORD Surface::bytes_for(int width, int height, const PixelFormat& format) {
    return static_cast<DWORD>(pitch_for(width, format) * height);
}

Surface::Surface(std::shared_ptr<Display> display, int width, int height, const PixelFormat& format,
                 DWORD caps)
    : id_(++g_surfaces_made), display_(std::move(display)), width_(width), height_(height),
      format_(format), dd_format_(to_ddpixelformat(format)), caps_(caps),
      damage_(RECT{0, 0, width, height}) {
    pitch_ = pitch_for(width, format);
    memory_.assign(static_cast<size_t>(pitch_) * height, 0);
    if (caps_ & DDSCAPS_VIDEOMEMORY) display_->video_used += bytes_for(width, height, format);
    register_surface(this);
}

Surface::~Surface() {
    settle_readers_of(this);
    for (const WaitingRun& waiting : waiting_)
        release(waiting);
    unregister_surface(this);
    if (dc_) host::services().delete_canvas_dc(dc_);
    for (Surface* back : chain_)
        delete back;
    if (palette_) palette_->Release();
    if (clipper_) clipper_->Release();
    if (caps_ & DDSCAPS_VIDEOMEMORY) {
        const DWORD bytes = bytes_for(width_, height_, format_);
        display_->video_used -= std::min(bytes, display_->video_used);
    }
    if (display_->primary == this) display_->primary = nullptr;
}

void Surface::make_flipping_chain(int count, DWORD back_caps) {
    for (int i = 0; i < count; ++i) {
        DWORD caps = back_caps | (i == 0 ? DDSCAPS_BACKBUFFER : 0);
        Surface* back = new Surface(display_, width_, height_, format_, caps);
        back->front_ = this;
        back->refs_ = 0; // the front buffer holds it; GetAttachedSurface hands out references
        chain_.push_back(back);
    }
}

Canvas Surface::canvas() const {
    Canvas c;
    c.top = const_cast<uint8_t*>(memory_.data());
    c.pitch = pitch_;
    c.width = width_;
    c.height = height_;
    c.format = format_;
    if (palette_) {
        c.palette = palette_->colours();
        c.palette_size = palette_->size();
    }
    return c;
}

void Surface::blit_tracked(const BlitRequest& request, const Surface* source, bool may_wait) {
    const RECT area = rect_intersect(rect_intersect(request.dest_rect, request.clip),
                                     RECT{0, 0, width_, height_});
    if (rect_empty(area)) return;
    settle_readers_of(this);
    BlitRecord now;
    if (source) {
        now.source_id = source->id_;
        now.source_rect = request.source_rect;
        now.source_version = source->damage_.version();
    }
    now.dest_rect = request.dest_rect;
    now.clip = request.clip;
    now.fill = request.fill;
    now.source_key = request.source_key;
    now.dest_key = request.dest_key;
    const LONG dx = request.dest_rect.left - request.source_rect.left;
    const LONG dy = request.dest_rect.top - request.source_rect.top;
    const bool stretched = source && (request.source_rect.right + dx != request.dest_rect.right ||
                                      request.source_rect.bottom + dy != request.dest_rect.bottom);
    // A copy of another picture, as it is, over what was there: made twice
    // over its own result, it changes nothing (a destination key would).
    const bool fixed = source && source != this && !stretched && !request.dest_key.enabled &&
                       !format_.indexed && !source->format_.indexed && !is_visible_primary();
    if (!waiting_.empty()) {
        if (fixed && may_wait && joins_waiting(now, area, source)) return;
        settle_meeting(area);
    }
    if (fixed && may_wait) {
        const CopyRun* run = overdrawn_.run_for(now);
        if (run && may_hold_back(*run)) {
            WaitingRun& waiting = waiting_.emplace_back();
            waiting.run = run;
            waiting.held = 1;
            waiting.sources[0] = source;
            ++source->readers_waiting_;
            return;
        }
    }
    blit_repeated(request, source, now, area, stretched);
    if (fixed) {
        overdrawn_.note_blit(now, area);
    } else {
        overdrawn_.note_write(area);
    }
}

void Surface::blit_repeated(const BlitRequest& request, const Surface* source, BlitRecord now,
                            const RECT& area, bool stretched) {
    const LONG dx = request.dest_rect.left - request.source_rect.left;
    const LONG dy = request.dest_rect.top - request.source_rect.top;
    // A blit within one surface changes its own source: always done in full.
    const bool repeatable = source != this && !stretched;
    BlitRecord* before = repeatable ? repeated_blits_.find(now) : nullptr;
    if (!before) {
        blit(request);
        damage_.add(area);
        if (repeatable) {
            now.dest_version = damage_.version();
            repeated_blits_.remember(now);
        }
        return;
    }
    RECT redo[2 * DamageHistory::kEntries];
    // Each part of the area written since, in this surface or (moved) in the source.
    int count = damage_.changed_since(before->dest_version, redo);
    if (source) {
        RECT moved[DamageHistory::kEntries];
        const int n = source->damage_.changed_since(before->source_version, moved);
        for (int i = 0; i < n; ++i)
            redo[count++] = offset_rect(moved[i], dx, dy);
    }
    int parts = 0;
    for (int i = 0; i < count; ++i) {
        const RECT part = rect_intersect(redo[i], area);
        if (!rect_empty(part)) redo[parts++] = part;
    }
    for (int i = 0; i < parts; ++i) {
        const RECT part = redo[i];
        // A part inside another (or the same as a later one) is done with that one.
        bool inside = false;
        for (int j = 0; j < parts && !inside; ++j)
            inside = j != i && rect_inside(part, redo[j]) && (j > i || !rect_inside(redo[j], part));
        if (inside) continue;
        BlitRequest piece = request;
        piece.clip = part;
        // A picture drawn in layers changes under its top layers every frame
        // and back again: a plain copy of it writes, and counts, only the rows
        // that really differ, so what the screen shows stays put.
        RECT written;
        if (blit_fast_copy_changes(piece, written)) {
            damage_.add(written);
            continue;
        }
        blit(piece);
        damage_.add(part);
    }
    before->source_version = now.source_version;
    before->dest_version = damage_.version();
}

bool Surface::may_hold_back(const CopyRun& run) const {
    for (const WaitingRun& waiting : waiting_)
        if (rect_meet(waiting.run->place, run.place)) return false;
    RECT since[DamageHistory::kEntries];
    const int n = damage_.changed_since(run.after, since);
    for (int i = 0; i < n; ++i)
        if (rect_meet(since[i], run.place)) return false;
    return true;
}

bool Surface::joins_waiting(const BlitRecord& blit, const RECT& area, const Surface* source) {
    // Waiting places never meet: a blit inside the place of the run joined
    // last (the run being drawn, as a rule) meets no other.
    WaitingRun* joined = nullptr;
    if (last_joined_ < waiting_.size() && rect_inside(area, waiting_[last_joined_].run->place)) {
        joined = &waiting_[last_joined_];
    } else {
        for (WaitingRun& waiting : waiting_) {
            if (!rect_meet(waiting.run->place, area)) continue;
            if (joined) return false; // it meets two
            joined = &waiting;
        }
        if (!joined) return false;
        last_joined_ = static_cast<size_t>(joined - waiting_.data());
    }
    const CopyRun& run = *joined->run;
    if (joined->record(joined->held - 1).same_as_seen(blit))
        return true; // the same again over its own result changes nothing
    if (!joined->record(joined->held).same_as_seen(blit)) return false;
    joined->sources[joined->held++] = source;
    ++source->readers_waiting_;
    if (joined->held == run.overs.size() + 1) {
        // The whole run came again: the place stays as it is.
        release(*joined);
        waiting_.erase(waiting_.begin() + (joined - waiting_.data()));
    }
    return true;
}

void Surface::release(const WaitingRun& waiting) {
    for (size_t i = 0; i < waiting.held; ++i)
        --waiting.sources[i]->readers_waiting_;
}

void Surface::make_waiting(size_t index) {
    const WaitingRun waiting = waiting_[index];
    waiting_.erase(waiting_.begin() + static_cast<ptrdiff_t>(index));
    release(waiting);
    for (size_t i = 0; i < waiting.held; ++i) {
        const BlitRecord& held = waiting.record(i);
        const Canvas target = canvas();
        const Canvas from = waiting.sources[i]->canvas();
        BlitRequest request;
        request.source = &from;
        request.source_rect = held.source_rect;
        request.dest = &target;
        request.dest_rect = held.dest_rect;
        request.clip = held.clip;
        request.source_key = held.source_key;
        request.dest_key = held.dest_key;
        blit_tracked(request, waiting.sources[i], false);
    }
}

void Surface::settle_meeting(const RECT& area) {
    for (;;) {
        const auto it = std::find_if(waiting_.begin(), waiting_.end(), [&](const WaitingRun& w) {
            return rect_meet(w.run->place, area);
        });
        if (it == waiting_.end()) return;
        make_waiting(static_cast<size_t>(it - waiting_.begin()));
    }
}

void Surface::settle() {
    while (!waiting_.empty())
        make_waiting(0);
    overdrawn_.note_read(damage_.version());
}

void Surface::settle_before_writing(const RECT& area) {
    settle();
    settle_readers_of(this);
    overdrawn_.note_write(area);
}

void Surface::settle_readers_of(const Surface* source) {
    if (source->readers_waiting_.load() == 0) return;
    for_each_surface([source](Surface* s) {
        for (;;) {
            const auto it =
                std::find_if(s->waiting_.begin(), s->waiting_.end(), [&](const WaitingRun& w) {
                    return std::find(w.sources.begin(), w.sources.begin() + w.held, source) !=
                           w.sources.begin() + w.held;
                });
            if (it == s->waiting_.end()) break;
            s->make_waiting(static_cast<size_t>(it - s->waiting_.begin()));
        }
    });
}

void Surface::changed() {
    if (is_visible_primary()) present_primary(*this);
}

HRESULT Surface::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDrawSurface) {
        AddRef();
        *out = static_cast<IDirectDrawSurface*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() {
    return ++refs_;
}

ULONG Surface::Release() {
    if (refs_.load() == 0) return 0;
    const ULONG left = --refs_;
    if (left == 0 && !front_) delete this;
    return left;
}

HRESULT Surface::AddAttachedSurface(LPDIRECTDRAWSURFACE) {
    return DDERR_UNSUPPORTED;
}
HRESULT Surface::AddOverlayDirtyRect(LPRECT) {
    return DDERR_NOTAOVERLAYSURFACE;
}
HRESULT Surface::BltBatch(LPDDBLTBATCH, DWORD, DWORD) {
    return DDERR_UNSUPPORTED;
}
HRESULT Surface::DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE) {
    return DDERR_CANNOTDETACHSURFACE;
}
HRESULT Surface::EnumOverlayZOrders(DWORD, LPVOID, LPDDENUMSURFACESCALLBACK) {
    return DDERR_NOTAOVERLAYSURFACE;
}
HRESULT Surface::GetBltStatus(DWORD) {
    return lost() ? DDERR_SURFACELOST : DD_OK;
}
HRESULT Surface::GetFlipStatus(DWORD) {
    return lost() ? DDERR_SURFACELOST : DD_OK;
}
HRESULT Surface::GetOverlayPosition(LPLONG, LPLONG) {
    return DDERR_NOTAOVERLAYSURFACE;
}
HRESULT Surface::Initialize(LPDIRECTDRAW, LPDDSURFACEDESC) {
    return DDERR_ALREADYINITIALIZED;
}
HRESULT Surface::SetOverlayPosition(LONG, LONG) {
    return DDERR_NOTAOVERLAYSURFACE;
}
HRESULT Surface::UpdateOverlay(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDOVERLAYFX) {
    return DDERR_NOTAOVERLAYSURFACE;
}
HRESULT Surface::UpdateOverlayDisplay(DWORD) {
    return DDERR_NOTAOVERLAYSURFACE;
}
HRESULT Surface::UpdateOverlayZOrder(DWORD, LPDIRECTDRAWSURFACE) {
    return DDERR_NOTAOVERLAYSURFACE;
}

ColorKeyRange Surface::key_range(DWORD which) const {
    ColorKeyRange range;
    const bool source = which == DDCKEY_SRCBLT;
    if (source ? !has_source_key_ : !has_dest_key_) return range;
    const DDCOLORKEY& key = source ? source_key_ : dest_key_;
    const uint32_t mask = depth_mask(format_.bits);
    range.enabled = true;
    range.low = key.dwColorSpaceLowValue & mask;
    range.high = std::max(range.low, key.dwColorSpaceHighValue & mask);
    return range;
}

static ColorKeyRange override_range(const DDCOLORKEY& key, int bits) {
    const uint32_t mask = depth_mask(bits);
    ColorKeyRange range;
    range.enabled = true;
    range.low = key.dwColorSpaceLowValue & mask;
    range.high = std::max(range.low, key.dwColorSpaceHighValue & mask);
    return range;
}

HRESULT Surface::Blt(LPRECT dest_rect, LPDIRECTDRAWSURFACE source_if, LPRECT source_rect,
                     DWORD flags, LPDDBLTFX fx) {
    constexpr DWORD supported = DDBLT_ASYNC | DDBLT_COLORFILL | DDBLT_KEYDEST |
                                DDBLT_KEYDESTOVERRIDE | DDBLT_KEYSRC | DDBLT_KEYSRCOVERRIDE |
                                DDBLT_ROP | DDBLT_WAIT;
    if (flags & ~supported) return DDERR_UNSUPPORTED;
    Surface* source = as_surface(source_if);
    if (lost() || (source && source->lost())) return DDERR_SURFACELOST;
    if (busy() || (source && source->busy())) return DDERR_SURFACEBUSY;
    if ((flags & (DDBLT_COLORFILL | DDBLT_ROP | DDBLT_KEYSRCOVERRIDE | DDBLT_KEYDESTOVERRIDE)) &&
        !fx) {
        return DDERR_INVALIDPARAMS;
    }
    const RECT bounds{0, 0, width_, height_};
    const RECT dest = dest_rect ? *dest_rect : bounds;
    if (rect_empty(dest)) return DDERR_INVALIDRECT;
    RECT clip = bounds;
    if (clipper_) {
        clip = clipper_->visible_part(bounds);
    } else if (!rect_inside(dest, bounds)) {
        return DDERR_INVALIDRECT;
    }

    const Canvas target = canvas();
    BlitRequest request;
    request.dest = &target;
    request.dest_rect = dest;
    request.clip = clip;
    if (flags & DDBLT_KEYDESTOVERRIDE) {
        request.dest_key = override_range(fx->ddckDestColorkey, format_.bits);
    } else if (flags & DDBLT_KEYDEST) {
        request.dest_key = key_range(DDCKEY_DESTBLT);
    }

    Canvas from;
    if (flags & DDBLT_COLORFILL) {
        request.fill = fx->dwFillColor;
    } else {
        if (!source) return DDERR_INVALIDPARAMS;
        if ((flags & DDBLT_ROP) && fx->dwROP != SRCCOPY) return DDERR_NORASTEROPHW;
        const RECT source_bounds{0, 0, source->width_, source->height_};
        const RECT src = source_rect ? *source_rect : source_bounds;
        if (rect_empty(src) || !rect_inside(src, source_bounds)) return DDERR_INVALIDRECT;
        source->settle();
        from = source->canvas();
        request.source = &from;
        request.source_rect = src;
        if (flags & DDBLT_KEYSRCOVERRIDE) {
            request.source_key = override_range(fx->ddckSrcColorkey, source->format_.bits);
        } else if (flags & DDBLT_KEYSRC) {
            request.source_key = source->key_range(DDCKEY_SRCBLT);
        }
    }
    blit_tracked(request, (flags & DDBLT_COLORFILL) ? nullptr : source);
    changed();
    return DD_OK;
}

HRESULT Surface::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE source_if, LPRECT source_rect,
                         DWORD flags) {
    Surface* source = as_surface(source_if);
    if (!source) return DDERR_INVALIDPARAMS;
    if (lost() || source->lost()) return DDERR_SURFACELOST;
    if (busy() || source->busy()) return DDERR_SURFACEBUSY;
    if (clipper_) return DDERR_BLTFASTCANTCLIP;
    const RECT source_bounds{0, 0, source->width_, source->height_};
    const RECT src = source_rect ? *source_rect : source_bounds;
    if (rect_empty(src) || !rect_inside(src, source_bounds)) return DDERR_INVALIDRECT;
    const int64_t right = static_cast<int64_t>(x) + (src.right - src.left);
    const int64_t bottom = static_cast<int64_t>(y) + (src.bottom - src.top);
    if (x > static_cast<DWORD>(width_) || y > static_cast<DWORD>(height_) || right > width_ ||
        bottom > height_) {
        return DDERR_INVALIDRECT;
    }
    source->settle();
    const Canvas target = canvas();
    const Canvas from = source->canvas();
    BlitRequest request;
    request.dest = &target;
    request.dest_rect = RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(right),
                             static_cast<LONG>(bottom)};
    request.clip = RECT{0, 0, width_, height_};
    request.source = &from;
    request.source_rect = src;
    if (flags & DDBLTFAST_SRCCOLORKEY) request.source_key = source->key_range(DDCKEY_SRCBLT);
    if (flags & DDBLTFAST_DESTCOLORKEY) request.dest_key = key_range(DDCKEY_DESTBLT);
    blit_tracked(request, source);
    changed();
    return DD_OK;
}

HRESULT Surface::EnumAttachedSurfaces(LPVOID context, LPDDENUMSURFACESCALLBACK callback) {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (Surface* back : chain_) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        back->GetSurfaceDesc(&desc);
        back->AddRef();
        if (callback(back, &desc, context) == DDENUMRET_CANCEL) break;
    }
    return DD_OK;
}

HRESULT Surface::Flip(LPDIRECTDRAWSURFACE target_if, DWORD) {
    if (chain_.empty()) return DDERR_NOTFLIPPABLE;
    if (lost()) return DDERR_SURFACELOST;
    for (Surface* back : chain_) {
        if (back->lost()) return DDERR_SURFACELOST;
        if (back->busy()) return DDERR_SURFACEBUSY;
    }
    if (busy()) return DDERR_SURFACEBUSY;
    // Memory changes hands: every buffer is written whole.
    settle_before_writing(RECT{0, 0, width_, height_});
    for (Surface* back : chain_)
        back->settle_before_writing(RECT{0, 0, width_, height_});
    if (target_if) {
        Surface* target = as_surface(target_if);
        if (std::find(chain_.begin(), chain_.end(), target) == chain_.end()) {
            return DDERR_INVALIDPARAMS;
        }
        memory_.swap(target->memory_);
    } else {
        // The first back buffer becomes visible; the old front goes to the end of the chain.
        memory_.swap(chain_[0]->memory_);
        for (size_t i = 0; i + 1 < chain_.size(); ++i)
            chain_[i]->memory_.swap(chain_[i + 1]->memory_);
    }
    damage_.add_whole();
    for (Surface* back : chain_)
        back->damage_.add_whole();
    changed();
    return DD_OK;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE FAR* out) {
    if (!caps || !out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    std::vector<Surface*> attached;
    if (front_) {
        // A back buffer's attachment is the next buffer of the chain, the front after the last.
        const auto& chain = front_->chain_;
        const auto it = std::find(chain.begin(), chain.end(), this);
        attached.push_back(it + 1 != chain.end() ? *(it + 1) : front_);
    } else {
        attached = chain_;
    }
    for (Surface* s : attached) {
        DWORD have = s->caps_;
        if (s == front_) have |= DDSCAPS_FRONTBUFFER;
        if ((have & caps->dwCaps) == caps->dwCaps) {
            s->AddRef();
            *out = s;
            return DD_OK;
        }
    }
    return DDERR_NOTFOUND;
}

HRESULT Surface::GetCaps(LPDDSCAPS caps) {
    if (!caps) return DDERR_INVALIDPARAMS;
    caps->dwCaps = caps_;
    return DD_OK;
}

HRESULT Surface::GetClipper(LPDIRECTDRAWCLIPPER FAR* out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = clipper_;
    if (!clipper_) return DDERR_NOCLIPPERATTACHED;
    clipper_->AddRef();
    return DD_OK;
}

void Surface::set_key(DWORD which, const DDCOLORKEY& key) {
    DDCOLORKEY k = key;
    if (!(which & DDCKEY_COLORSPACE)) k.dwColorSpaceHighValue = k.dwColorSpaceLowValue;
    if (which & DDCKEY_SRCBLT) {
        source_key_ = k;
        has_source_key_ = true;
    } else {
        dest_key_ = k;
        has_dest_key_ = true;
    }
}

HRESULT Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
    const DWORD which = flags & (DDCKEY_SRCBLT | DDCKEY_DESTBLT);
    if (flags & (DDCKEY_SRCOVERLAY | DDCKEY_DESTOVERLAY)) return DDERR_NOOVERLAYHW;
    if (which != DDCKEY_SRCBLT && which != DDCKEY_DESTBLT) return DDERR_INVALIDPARAMS;
    if (lost()) return DDERR_SURFACELOST;
    if (!key) {
        (which == DDCKEY_SRCBLT ? has_source_key_ : has_dest_key_) = false;
        return DD_OK;
    }
    set_key(flags, *key);
    return DD_OK;
}

HRESULT Surface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
    if (!key) return DDERR_INVALIDPARAMS;
    if (flags == DDCKEY_SRCBLT) {
        if (!has_source_key_) return DDERR_NOCOLORKEY;
        *key = source_key_;
        return DD_OK;
    }
    if (flags == DDCKEY_DESTBLT) {
        if (!has_dest_key_) return DDERR_NOCOLORKEY;
        *key = dest_key_;
        return DD_OK;
    }
    return DDERR_INVALIDPARAMS;
}

HRESULT Surface::GetDC(HDC FAR* out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (lost()) return DDERR_SURFACELOST;
    if (dc_) return DDERR_DCALREADYCREATED;
    if (locks_ > 0) return DDERR_SURFACEBUSY;
    // A context made and deleted unused (a check that the surface is there)
    // leaves held-back copies waiting.
    dc_ = host::services().create_canvas_dc(
        canvas(),
        // What it draws is noted when it is released.
        [](void* owner) { static_cast<Surface*>(owner)->settle_before_writing(RECT{}); }, this);
    if (!dc_) return DDERR_CANTCREATEDC;
    *out = dc_;
    return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC dc) {
    if (!dc_ || dc != dc_) return DDERR_NODC;
    const RECT drawn = host::services().delete_canvas_dc(dc_);
    damage_.add(drawn);
    overdrawn_.note_write(drawn);
    dc_ = nullptr;
    changed();
    return DD_OK;
}

HRESULT Surface::GetPalette(LPDIRECTDRAWPALETTE FAR* out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = palette_;
    if (!palette_) return DDERR_NOPALETTEATTACHED;
    palette_->AddRef();
    return DD_OK;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT format) {
    if (!format) return DDERR_INVALIDPARAMS;
    *format = dd_format_;
    return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC desc) {
    if (!desc_size_ok(desc)) return DDERR_INVALIDPARAMS;
    const DWORD size = desc->dwSize;
    // Programs hand in the structure itself; 108 is its size in 32-bit programs.
    std::memset(static_cast<void*>(desc), 0, sizeof(DDSURFACEDESC));
    desc->dwSize = size;
    desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(width_);
    desc->dwHeight = static_cast<DWORD>(height_);
    desc->lPitch = static_cast<LONG>(pitch_);
    if (!chain_.empty()) {
        desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc->dwBackBufferCount = static_cast<DWORD>(chain_.size());
    }
    if (has_source_key_) {
        desc->dwFlags |= DDSD_CKSRCBLT;
        desc->ddckCKSrcBlt = source_key_;
    }
    if (has_dest_key_) {
        desc->dwFlags |= DDSD_CKDESTBLT;
        desc->ddckCKDestBlt = dest_key_;
    }
    desc->ddpfPixelFormat = dd_format_;
    desc->ddsCaps.dwCaps = caps_;
    return DD_OK;
}

HRESULT Surface::IsLost() {
    return lost() ? DDERR_SURFACELOST : DD_OK;
}

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE) {
    if (!desc_size_ok(desc)) return DDERR_INVALIDPARAMS;
    if (lost()) return DDERR_SURFACELOST;
    if (dc_) return DDERR_SURFACEBUSY;
    const RECT bounds{0, 0, width_, height_};
    const RECT r = rect ? *rect : bounds;
    if (rect_empty(r) || !rect_inside(r, bounds)) return DDERR_INVALIDRECT;
    if (flags & DDLOCK_READONLY) {
        settle();
    } else {
        settle_before_writing(r);
    }
    GetSurfaceDesc(desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface =
        memory_.data() + pitch_ * r.top + static_cast<ptrdiff_t>(r.left) * format_.bits / 8;
    // A lock for reading promises no writes.
    if (!(flags & DDLOCK_READONLY)) locked_ = rect_union(locked_, r);
    ++locks_;
    return DD_OK;
}

HRESULT Surface::Unlock(LPVOID) {
    if (locks_ == 0) return DDERR_NOTLOCKED;
    --locks_;
    damage_.add(locked_);
    if (locks_ == 0) locked_ = RECT{};
    changed();
    return DD_OK;
}

HRESULT Surface::Restore() {
    if (!lost()) return DD_OK;
    if (front_) return DDERR_IMPLICITLYCREATED;
    // The memory comes back with its old contents; programs must redraw anyway.
    lost_ = false;
    for (Surface* back : chain_)
        back->lost_ = false;
    return DD_OK;
}

HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER clipper_if) {
    Clipper* clipper = static_cast<Clipper*>(clipper_if);
    if (clipper) clipper->AddRef();
    if (clipper_) clipper_->Release();
    clipper_ = clipper;
    return DD_OK;
}

HRESULT Surface::SetPalette(LPDIRECTDRAWPALETTE palette_if) {
    if (lost()) return DDERR_SURFACELOST;
    if (!format_.indexed) return DDERR_NOTPALETTIZED;
    Palette* palette = static_cast<Palette*>(palette_if);
    if (palette) palette->AddRef();
    if (palette_) palette_->Release();
    palette_ = palette;
    // An outstanding device context must not keep the old palette's colours.
    if (dc_) host::services().update_canvas_dc(dc_, canvas());
    damage_.add_whole(); // every pixel may show another colour
    changed();
    return DD_OK;
}

void palette_changed(Palette* palette) {
    for_each_surface([palette](Surface* s) {
        if (s->palette() != palette) return;
        s->colours_changed();
        if (s->is_visible_primary()) present_primary(*s);
    });
}

} // namespace ludora::video
