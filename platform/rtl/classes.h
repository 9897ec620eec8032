#pragma once

#include "platform/rtl/ansistring.h"

#include <vector>

// A named part that its owner frees. Parts are created with their owner and die with it.
class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    String Name;
    TComponent* Owner() const { return owner_; }

private:
    TComponent* owner_;
    std::vector<TComponent*> owned_;
};

// Holds the non-visual parts of a program (connections, statements, reports).
class TDataModule : public TComponent {
public:
    using TComponent::TComponent;
};
