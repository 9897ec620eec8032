#pragma once

#include <mysql.h>

#include <QString>

#include <string>
#include <vector>

// Access to the throwaway MariaDB server that the CTest fixture starts.
namespace testdb {

// The fixture server's port: KOLLEKTAR_TEST_PORT, or the port file in KOLLEKTAR_TEST_DB_DIR.
// Fails the test run when neither is there.
unsigned port();

// A direct connection as root over TCP, outside the code under test, for preparing and
// checking data. Throws std::runtime_error with the server's message on failure.
class Direct {
public:
    explicit Direct(const std::string& schema = std::string());
    ~Direct();
    Direct(const Direct&) = delete;
    Direct& operator=(const Direct&) = delete;

    void exec(const std::string& sql);
    // All rows of a query; NULL reads as "<NULL>".
    std::vector<std::vector<std::string>> rows(const std::string& sql);
    // The first column of the first row, or "<none>" without a row.
    std::string value(const std::string& sql);
    std::string escape(const std::string& text);
    MYSQL* handle() { return mysql_; }

private:
    MYSQL* mysql_ = nullptr;
};

// A schema of its own for one test case, dropped again when the guard goes.
class Schema {
public:
    explicit Schema(const std::string& tag);
    ~Schema();
    Schema(const Schema&) = delete;
    Schema& operator=(const Schema&) = delete;

    const std::string& name() const { return name_; }

private:
    std::string name_;
};

} // namespace testdb

// Lets QCOMPARE print result rows. Found through argument-dependent lookup.
namespace std {
char* toString(const vector<vector<string>>& rows);
}
