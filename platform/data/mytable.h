#pragma once

#include "platform/data/mydataset.h"

// All rows and columns of one table.
class TMyTable : public TMyDataSet {
public:
    explicit TMyTable(TComponent* owner = nullptr) : TMyDataSet(owner) {}

    String TableName;

protected:
    std::string SelectText() override;
};
