#include "swf/runtime/ScriptBitmaps.h"

#include <algorithm>

#include "swf/Movie.h"

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
    std::vector<std::shared_ptr<ScriptBitmap>> last;
    last.swap(kept_);
    last.clear();
}

std::shared_ptr<ScriptBitmap> ScriptBitmaps::Create(int width, int height, bool transparent, uint32_t fillArgb) {
    std::unique_ptr<BitmapData> data = BitmapData::Create(width, height, transparent, fillArgb, memory_);
    if (!data) return nullptr;
    return std::make_shared<ScriptBitmap>(*this, std::move(data));
}

void ScriptBitmaps::Keep(const std::shared_ptr<ScriptBitmap>& bitmap) {
    if (bitmap && std::find(kept_.begin(), kept_.end(), bitmap) == kept_.end()) kept_.push_back(bitmap);
}

const Bitmap* ScriptBitmaps::FindBitmap(uint16_t id) const {
    auto it = byId_.find(id);
    return it != byId_.end() ? it->second->View() : movie_.FindBitmap(id);
}

uint16_t ScriptBitmaps::Assign(ScriptBitmap* bitmap) {
    // From the top down: movies number their characters from 1 up.
    for (uint32_t id = 0xFFFF; id > 0; --id) {
        const uint16_t candidate = uint16_t(id);
        if (byId_.count(candidate) || movie_.Find(candidate)) continue;
        byId_[candidate] = bitmap;
        return candidate;
    }
    return 0;
}

void ScriptBitmaps::Release(ScriptBitmap* bitmap, uint16_t id) {
    if (id) byId_.erase(id);
    // A disposed bitmap is no longer kept for fills; the last owner may be
    // this list, so it goes after the id is gone.
    auto it = std::find_if(kept_.begin(), kept_.end(), [bitmap](const auto& k) { return k.get() == bitmap; });
    if (it != kept_.end()) {
        std::shared_ptr<ScriptBitmap> last = std::move(*it);
        kept_.erase(it);
    }
}

}  // namespace swf
