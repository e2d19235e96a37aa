#pragma once

#include <QAction>
#include <QMenu>
#include <QString>

namespace murinex::test {

// The item of a menu with that caption, or none.
inline QAction* Item(QMenu* menu, const QString& caption) {
  for (QAction* a : menu->actions())
    if (a->text() == caption) return a;
  return nullptr;
}

}  // namespace murinex::test
