#pragma once

#include "platform/data/mydataset.h"

// Links a data set to the controls that show it. While disabled, they show no data.
class TMyDataSource : public TComponent {
public:
    explicit TMyDataSource(TComponent* owner = nullptr) : TComponent(owner) {}

    TMyDataSet* DataSet = nullptr;
    bool Enabled = true;
};
