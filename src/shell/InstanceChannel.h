#pragma once
// One running desktop program per user and settings store. The first start listens on a local
// socket that only its user may reach; a later start hands its command line over (HandOver.h) and
// ends, and the first receives it on its own thread.

#include "shell/HandOver.h"

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace cvx {

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    enum class Delivery { Delivered, NoInstance, NoAnswer };
    enum class Role {
        First,      // this start listens: it is the running instance now
        Second,     // the message went to the running instance
        Unanswered, // an instance runs but did not take the message
    };

    explicit InstanceChannel(QString name, QObject* parent = nullptr);

    // The channel of the user's settings store.
    static QString DefaultName();

    // Becomes the running instance, or hands `message` to the one that runs. A socket left behind
    // by an instance that ended without closing it is taken over.
    Role Claim(const HandOverMessage& message, int timeoutMs = 3000);

    // Hands a message to the instance listening on `name`; blocks up to about three timeouts, so
    // never call it on the thread of the channel it sends to.
    static Delivery Send(const QString& name, const HandOverMessage& message, int timeoutMs);

    const QString& Name() const { return name_; }

signals:
    // A message from another start (its code and its UTF-8 text).
    void Received(int code, const QString& text);

private:
    void Accept();

    QString name_;
    QLocalServer server_;
};

} // namespace cvx
