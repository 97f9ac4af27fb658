#pragma once
// Lets Qt deliver what is queued (posted events, repaints) until it is done.

#include <QCoreApplication>

inline void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}
