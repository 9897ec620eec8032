#pragma once

// A catalogue schema of its own for one test case, created by the store itself, with the
// data module connected to it as root.
#include "store/db_access.h"
#include "store/medium_db.h"
#include "tests/support/testdb.h"

#include <memory>
#include <string>

namespace testdb {

// The data module of the test program, created once and pointed at the fixture server.
inline Tdat_medium& dataModule()
{
    if (!dat_medium) {
        dat_medium = new Tdat_medium(nullptr);
        dat_medium->myc_medium->Port = static_cast<int>(port());
    }
    return *dat_medium;
}

class Catalogue {
public:
    explicit Catalogue(const std::string& tag) : schema_(tag)
    {
        dataModule();
        Db_access db;
        db.db_open("root", "", "localhost", "");
        db.create_db(AnsiString(schema_.name()));
        db.db_stop();
        db.db_open("root", "", "localhost", AnsiString(schema_.name()));
        direct_ = std::make_unique<Direct>(schema_.name());
    }

    const std::string& name() const { return schema_.name(); }
    // A connection of its own to the schema, outside the store.
    Direct& sql() { return *direct_; }

private:
    Schema schema_;
    std::unique_ptr<Direct> direct_;
};

} // namespace testdb
