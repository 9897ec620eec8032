#include "platform/rtl/classes.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_)
        owner_->owned_.push_back(this);
}

TComponent::~TComponent()
{
    // Owned parts go in reverse order of their creation.
    while (!owned_.empty()) {
        TComponent* last = owned_.back();
        owned_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
    if (owner_) {
        auto& siblings = owner_->owned_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}
