#pragma once
// Children still emit while their parent's destructor runs (focus moves, an editor closes):
// nothing they emit may reach a parent whose own members are already gone.
#include <QObject>

inline void DisconnectChildrenFrom(QObject* parent) {
    for (QObject* child : parent->findChildren<QObject*>()) QObject::disconnect(child, nullptr, parent, nullptr);
}
