// The bitmaps scripts make (BitmapData) as the renderer finds them: each gets
// a character id the movie does not use when it is first shown (attached or
// used as a fill), and the renderer asks this source before the movie's.
//
// A ScriptBitmap is shared by its script object and whatever shows it, so
// it lives as long as either; fills only name it by id, so a bitmap used as
// a fill is kept here until it is disposed. Every change bumps a version,
// and the renderer's copy of the pixels is refreshed only when it moved.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "swf/model/Bitmap.h"
#include "swf/classes/BitmapData.h"

namespace swf {

class Movie;
class ScriptBitmaps;

class ScriptBitmap {
public:
    ScriptBitmap(ScriptBitmaps& owner, std::unique_ptr<BitmapData> data) : owner_(owner), data_(std::move(data)) {}
    ~ScriptBitmap();
    ScriptBitmap(const ScriptBitmap&) = delete;
    ScriptBitmap& operator=(const ScriptBitmap&) = delete;

    BitmapData& Data() { return *data_; }
    const BitmapData& Data() const { return *data_; }
    // Call after every change of the pixels.
    void Changed() { ++version_; }
    // Frees the pixels and forgets the id; what shows it shows nothing.
    void Dispose();
    // The id it is shown under, given on first use; 0 when none is left.
    uint16_t Id();
    // The pixels as the renderer samples them; null once disposed.
    const Bitmap* View() const;

private:
    ScriptBitmaps& owner_;
    std::unique_ptr<BitmapData> data_;
    uint16_t id_ = 0;
    uint64_t version_ = 1;
    mutable uint64_t viewVersion_ = 0;
    mutable Bitmap view_;
};

class ScriptBitmaps : public BitmapSource {
public:
    explicit ScriptBitmaps(const Movie& movie) : movie_(movie) {}
    ~ScriptBitmaps() override;
    ScriptBitmaps(const ScriptBitmaps&) = delete;
    ScriptBitmaps& operator=(const ScriptBitmaps&) = delete;

    // Null for a size BitmapData::FitsVersion allows in no version or when the memory
    // budget is spent.
    std::shared_ptr<ScriptBitmap> Create(int width, int height, bool transparent, uint32_t fillArgb);
    // A bitmap a fill names: kept until disposed.
    void Keep(const std::shared_ptr<ScriptBitmap>& bitmap);
    BitmapMemory& Memory() { return memory_; }
    // Pixel work scripts may ask of one host call (a pixel visited by one
    // pass of a method is one unit): four passes over the largest bitmap.
    // Past it, methods refuse the whole call so the movie keeps its pace.
    static constexpr uint64_t kPixelWorkBudget = uint64_t(1) << 25;
    void BeginHostCall() {
        pixelWorkLeft_ = kPixelWorkBudget;
        refusalTold_ = false;
    }
    // Takes `units` from the budget; false (taking nothing) when short.
    bool SpendPixels(uint64_t units);
    // Work known only once done (a drawing's edges): taken whole, so the
    // calls after it are refused once the budget is gone.
    void SpendDone(uint64_t units) { pixelWorkLeft_ -= std::min(units, pixelWorkLeft_); }
    // True the first time in a host call: one refusal is reported a call.
    bool FirstRefusal() { return !std::exchange(refusalTold_, true); }
    const Movie& MovieRef() const { return movie_; }

    const Bitmap* FindBitmap(uint16_t id) const override;

private:
    friend class ScriptBitmap;
    uint16_t Assign(ScriptBitmap* bitmap);
    void Release(ScriptBitmap* bitmap, uint16_t id);

    const Movie& movie_;
    BitmapMemory memory_;
    std::map<uint16_t, ScriptBitmap*> byId_;
    std::unordered_map<ScriptBitmap*, std::shared_ptr<ScriptBitmap>> kept_;
    std::vector<uint16_t> freeIds_;  // given back, not yet reused
    uint32_t nextId_ = 0xFFFF;       // the highest id never given out
    uint64_t pixelWorkLeft_ = kPixelWorkBudget;
    bool refusalTold_ = false;
};

}  // namespace swf
