#pragma once

#include "platform/data/myerror.h"
#include "platform/rtl/classes.h"

#include <mysql.h>

// The one connection to the catalogue server, over TCP with MariaDB Connector/C.
// Texts travel in latin1 (code page 1252) unchanged. Connecting never asks anything: it
// uses the values set here. A statement on a closed connection connects it first.
class TMyConnection : public TComponent {
public:
    explicit TMyConnection(TComponent* owner = nullptr);
    ~TMyConnection() override;

    String Username() const { return username_; }
    String Password() const { return password_; }
    String Server() const { return server_; }
    String Database() const { return database_; }
    // Changing user name, password or server of a connected connection disconnects it.
    void SetUsername(const String& value);
    void SetPassword(const String& value);
    void SetServer(const String& value);
    // On a connected connection a non-empty name selects that schema at once.
    void SetDatabase(const String& value);

    int Port = 3306;
    int ConnectionTimeout = 15; // seconds

    // Opening an open connection and closing a closed one do nothing.
    void Open();
    void Close();
    bool Connected() const { return mysql_ != nullptr; }
    void SetConnected(bool value) { value ? Open() : Close(); }

    // For the statement components: the live handle, connecting first when closed.
    MYSQL* Handle();
    // Runs one statement and returns its stored result (nullptr when it has none).
    MYSQL_RES* Run(const std::string& sql);
    // Escapes bytes for a quoted literal, honouring the server's SQL mode.
    std::string Escape(const std::string& bytes);
    // Raises the last error of the handle. A connection the server lost counts as closed.
    [[noreturn]] void RaiseLastError();

    // Statements between StartTransaction and Commit take effect together, and Rollback
    // undoes them; outside a transaction each statement takes effect on its own. Closing the
    // connection, or losing it, discards an open transaction on the server.
    void StartTransaction();
    // Raises when the connection was lost or closed since StartTransaction, or the server
    // refuses the commit; the transaction is rolled back then.
    void Commit();
    // On a closed connection, or one the server lost, the server has discarded the
    // transaction already: that is no error. A rollback the server refuses closes the
    // connection, so nothing of the transaction takes effect, and raises.
    void Rollback();
    bool InTransaction() const { return inTransaction_; }

private:
    void reset(String& field, const String& value);
    // The handle's last error, as it is raised.
    EMyError lastError() const;

    String username_;
    String password_;
    String server_;
    String database_;
    MYSQL* mysql_ = nullptr;
    bool inTransaction_ = false;
};
