#include "swf/classes/ScriptBitmaps.h"

#include <algorithm>

#include "swf/model/Movie.h"

namespace swf {

ScriptBitmap::~ScriptBitmap() { owner_.Release(this, id_); }

void ScriptBitmap::Dispose() {
    data_->Dispose();
    view_ = Bitmap();
    Changed();
    const uint16_t id = id_;
    id_ = 0;
    owner_.Release(this, id);  // may drop the last owner: nothing after it
}

uint16_t ScriptBitmap::Id() {
    if (!id_ && !data_->Disposed()) id_ = owner_.Assign(this);
    return id_;
}

const Bitmap* ScriptBitmap::View() const {
    if (data_->Disposed()) return nullptr;
    if (viewVersion_ != version_) {
        const FrameBuffer& px = data_->Pixels();
        view_.width = px.Width();
        view_.height = px.Height();
        view_.pixels.assign(px.Data(), px.Data() + size_t(px.Width()) * size_t(px.Height()));
        view_.opaque = !data_->Transparent();
        viewVersion_ = version_;
    }
    return &view_;
}

bool ScriptBitmaps::SpendPixels(uint64_t units) {
    if (units > pixelWorkLeft_) return false;
    pixelWorkLeft_ -= units;
    return true;
}

ScriptBitmaps::~ScriptBitmaps() {
    // The kept bitmaps go while the id table they leave is still here.
    std::unordered_map<ScriptBitmap*, std::shared_ptr<ScriptBitmap>> last;
    last.swap(kept_);
    last.clear();
}

std::shared_ptr<ScriptBitmap> ScriptBitmaps::Create(int width, int height, bool transparent, uint32_t fillArgb) {
    std::unique_ptr<BitmapData> data = BitmapData::Create(width, height, transparent, fillArgb, memory_);
    if (!data) return nullptr;
    return std::make_shared<ScriptBitmap>(*this, std::move(data));
}

void ScriptBitmaps::Keep(const std::shared_ptr<ScriptBitmap>& bitmap) {
    if (bitmap) kept_.emplace(bitmap.get(), bitmap);
}

const Bitmap* ScriptBitmaps::FindBitmap(uint16_t id) const {
    auto it = byId_.find(id);
    return it != byId_.end() ? it->second->View() : movie_.FindBitmap(id);
}

uint16_t ScriptBitmaps::Assign(ScriptBitmap* bitmap) {
    // From the top down: movies number their characters from 1 up. Ids given
    // back are used first, so a full table fails at once instead of after a
    // scan of every id.
    uint16_t id = 0;
    if (!freeIds_.empty()) {
        id = freeIds_.back();
        freeIds_.pop_back();
    }
    while (!id && nextId_ > 0) {
        const uint16_t candidate = uint16_t(nextId_--);
        if (!movie_.Find(candidate)) id = candidate;
    }
    if (id) byId_[id] = bitmap;
    return id;
}

void ScriptBitmaps::Release(ScriptBitmap* bitmap, uint16_t id) {
    if (id && byId_.erase(id)) freeIds_.push_back(id);
    // A disposed bitmap is no longer kept for fills; the last owner may be
    // this list, so it goes after the id is gone.
    auto it = kept_.find(bitmap);
    if (it != kept_.end()) {
        std::shared_ptr<ScriptBitmap> last = std::move(it->second);
        kept_.erase(it);
    }
}

}  // namespace swf
