#include "db/earlyopen.h"

#include <utility>

EarlyOpen::~EarlyOpen()
{
    drop();
}

void EarlyOpen::start(const ConnectionSettings& settings, const QByteArray& statement)
{
    drop();
    connection_.setSettings(settings);
    started_ = true;
    try {
        connection_.open();
    } catch (const DatabaseError& error) {
        // Reported when the program opens this connection, as it would have been then.
        failed_ = true;
        error_ = error;
        return;
    } catch (...) {
        drop(); // nothing to report yet: the program's own open meets the fault itself
        return;
    }
    try {
        connection_.send(statement);
    } catch (...) {
        drop(); // the program's own open starts afresh and meets the fault itself
    }
}

bool EarlyOpen::handOver(DbConnection& connection)
{
    if (!started_ || &connection == &connection_ || !(connection.settings() == connection_.settings()))
        return false;
    started_ = false;
    if (std::exchange(failed_, false))
        throw error_;
    connection.mysql_ = std::exchange(connection_.mysql_, nullptr);
    connection.pending_ = std::exchange(connection_.pending_, QByteArray());
    return true;
}

void EarlyOpen::drop()
{
    started_ = failed_ = false;
    connection_.close();
}
