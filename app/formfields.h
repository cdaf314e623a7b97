#pragma once

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace quorrel::app {

/// The form's colours: its text boxes yellow with dark red text.
inline const QColor kFieldBackground(255, 255, 128);
inline const QColor kDarkRed(64, 0, 0);

/// Sets a widget's background and text colours; an invalid background is left as it is.
void SetColours(QWidget* widget, QPalette::ColorRole backgroundRole, const QColor& background,
                QPalette::ColorRole textRole, const QColor& text);

/// A text box of the form, in the form's look, at `geometry` in `parent`, taking any length.
QLineEdit* AddField(QWidget* parent, const char* name, const QString& text, QRect geometry);
/// A caption of the form beside its text box.
QLabel* AddCaption(QWidget* parent, const char* name, const QString& caption, QRect geometry);

}  // namespace quorrel::app
