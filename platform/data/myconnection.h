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

    // Opening an open connection and closing a closed one do nothing. Every connection runs
    // with a strict SQL mode for its session (STRICT_ALL_TABLES, NO_ZERO_DATE,
    // NO_ZERO_IN_DATE, ERROR_FOR_DIVISION_BY_ZERO added to the server's own), so that a value
    // too long for its column or a date that does not exist is refused on every server
    // rather than cut or zeroed; a server that refuses that mode refuses the connection.
    void Open();
    void Close();
    bool Connected() const { return mysql_ != nullptr; }
    void SetConnected(bool value) { value ? Open() : Close(); }

    // Before a command: a connection that the server has ended while it stood idle (the
    // server restarted, or ended the session) is closed, so that the command's first
    // statement connects anew instead of failing. Finding out costs no round trip. Inside a
    // transaction it does nothing: a transaction never moves to a new session.
    void Revive();

    // For the statement components: the live handle, connecting first when closed. Raises
    // when the connection was lost inside a transaction: its statements went with it.
    MYSQL* Handle();
    // Runs one statement and returns its stored result (nullptr when it has none).
    MYSQL_RES* Run(const std::string& sql);
    // Escapes bytes for a quoted literal, honouring the server's SQL mode.
    std::string Escape(const std::string& bytes);
    // Raises the last error of the handle. A connection the server lost counts as closed.
    [[noreturn]] void RaiseLastError();

    // Statements between StartTransaction and Commit take effect together, and Rollback
    // undoes them; outside a transaction each statement takes effect on its own. Closing the
    // connection, or losing it, discards an open transaction on the server. TMyTransaction
    // holds one for a scope.
    void StartTransaction();
    // Raises when the server refuses the commit (the transaction is rolled back then) or the
    // connection was lost before the commit was sent (the server has discarded it); raises
    // EMyCommitUnknown when the connection was lost after it was sent, when nobody can tell
    // whether it took effect.
    void Commit();
    // On a closed connection, or one the server lost, the server has discarded the
    // transaction already: that is no error. A rollback the server refuses closes the
    // connection, so nothing of the transaction takes effect, and raises.
    void Rollback();
    bool InTransaction() const { return inTransaction_; }

private:
    void reset(String& field, const String& value);
    // Lets the handle go; an open transaction stays marked, as lost.
    void drop();
    // Whether the server has ended the session: it closed the socket, or sent something
    // while no statement was running (a kill or shutdown notice).
    bool ended() const;
    // The handle's last error, as it is raised.
    EMyError lastError() const;

    String username_;
    String password_;
    String server_;
    String database_;
    MYSQL* mysql_ = nullptr;
    bool inTransaction_ = false;
};
