#pragma once

#include "platform/data/mydataset.h"
#include "platform/data/mytable.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

// Links a data set to the controls that show it. While disabled, they show no data.
class TMyDataSource : public TComponent {
public:
    explicit TMyDataSource(TComponent* owner = nullptr) : TComponent(owner) {}

    TMyDataSet* DataSet = nullptr;
    // The data set as a table, or nullptr when it is none.
    TMyTable* Table() const { return dynamic_cast<TMyTable*>(DataSet); }

    bool Enabled() const { return enabled_; }
    // Listeners hear of a change of the state only, not of setting it again.
    void SetEnabled(bool value)
    {
        if (value == enabled_)
            return;
        enabled_ = value;
        const auto listeners = listeners_;
        for (const auto& l : listeners)
            l.second();
    }

    // Returns an id for RemoveListener.
    int AddListener(std::function<void()> listener)
    {
        listeners_.emplace_back(++lastListener_, std::move(listener));
        return lastListener_;
    }
    void RemoveListener(int id)
    {
        listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                        [id](const auto& l) { return l.first == id; }),
                         listeners_.end());
    }

private:
    bool enabled_ = true;
    std::vector<std::pair<int, std::function<void()>>> listeners_;
    int lastListener_ = 0;
};
