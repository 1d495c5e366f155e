#pragma once

#include <QString>
#include <stdexcept>

// An error reported by the database server or the driver; its text is the server's own message.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};
