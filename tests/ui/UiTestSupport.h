#pragma once
// Shared pieces of the window tests: the offscreen application, a fresh SQLite database per
// test with the saver on it, scripted dialog answers and small widget helpers.

#include "framework/TDACSaver.h"
#include "platform/ScriptedDialogs.h"
#include "tests/platform/QtTestApplication.h"
#include "tests/support/TestDatabase.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace parvela::test {

// A database of the program's schema with the saver singleton on it.
class DatabaseWithSaver {
public:
    explicit DatabaseWithSaver(Engine engine = Engine::SQLite) : database_(engine) {
        TDACSaver::CreateSingleton(database_.Database());
    }
    ~DatabaseWithSaver() { TDACSaver::DestroySingleton(); }
    TDACDatabase& Database() { return database_.Database(); }
    TestDatabase& Test() { return database_; }

private:
    TestDatabase database_;
};

// Types one character into the widget as a key press.
inline void TypeCharacter(QWidget* widget, QChar character) {
    QKeyEvent press(QEvent::KeyPress, character.toUpper().unicode(), Qt::NoModifier,
                    QString(character));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, character.toUpper().unicode(), Qt::NoModifier,
                      QString(character));
    QApplication::sendEvent(widget, &release);
}

inline void TypeText(QWidget* widget, const QString& text) {
    for (QChar character : text)
        TypeCharacter(widget, character);
}

template <class Widget> Widget* Child(QWidget& parent, const char* name) {
    Widget* child = parent.findChild<Widget*>(QString::fromLatin1(name));
    if (!child)
        ADD_FAILURE() << "no child " << name;
    return child;
}

} // namespace parvela::test
