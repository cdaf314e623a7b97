#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include "app/formdialogs.h"

namespace quorrel::testing {

using quorrel::app::FormDialogs;

// Stands in for the person at the window: answers the boxes and remembers what they showed.
struct ScriptedPerson {
  QString savePath;
  QString openPath;
  bool answerYes = false;
  int saveDialogs = 0;
  QString shownFilter;
  QString shownName;
  QStringList questions;
  QStringList messages;
  QStringList notes;
  bool notedBeforeDialog = false;

  FormDialogs dialogs() {
    FormDialogs d;
    d.showSaveDialog = [this](const QString& filter, const QString& name) {
      ++saveDialogs;
      shownFilter = filter;
      shownName = name;
      return savePath;
    };
    d.showOpenDialog = [this](const QString& filter) {
      shownFilter = filter;
      return openPath;
    };
    d.askYesNo = [this](const QString& text, const QString& title) {
      questions << title + QLatin1String(": ") + text;
      return answerYes;
    };
    d.showMessage = [this](const QString& title, const QString& text) {
      messages << title + QLatin1String(": ") + text;
    };
    d.showNote = [this](const QString& title, const QString& text) {
      notes << title + QLatin1String(": ") + text;
      notedBeforeDialog = saveDialogs == 0;
    };
    return d;
  }
};

// Runs `answer` on the modal box that `open` shows, once it is up.
template <class Box, class Answer>
inline void AnswerWhenShown(Answer answer) {
  QTimer::singleShot(0, [answer] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<Box*>(widget); box && box->isVisible()) {
        answer(box);
        return;
      }
    }
    QFAIL("no box was shown");
  });
}

}  // namespace quorrel::testing
