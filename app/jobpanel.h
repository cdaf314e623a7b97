#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "gcode/jobs/job_document.h"

class QPushButton;
class QTableWidget;

namespace quorrel::app {

/// The Job panel, a window beside the form: the operations of a job of several, in cutting
/// order, each with its machine and a tool number to change, and buttons to Add the form's
/// operation (with its machine and tool), Replace the chosen row with it, Remove a row, or move
/// it Up or Down. Choosing a row asks for its fields in the form. The panel holds the job's
/// document and the file it is kept in, if any.
class JobPanel : public QWidget {
  Q_OBJECT

 public:
  explicit JobPanel(QWidget* parent = nullptr);

  const JobDocument& document() const { return document_; }
  /// The job file the document was opened from or saved to, if any.
  const std::optional<std::string>& path() const { return path_; }
  void setDocument(const JobDocument& document, const std::optional<std::string>& path);
  void setPath(const std::string& path) { path_ = path; }
  /// Adds `row` after the last, or in place of the chosen one.
  void addRow(const JobRow& row);
  void replaceChosen(const JobRow& row);
  /// The tool a row added now takes: the last row's.
  int nextTool() const { return document_.rows.empty() ? 1 : document_.rows.back().tool; }

 signals:
  /// The document changed.
  void changed();
  /// The machinist asks to add, or to replace the chosen row with, the form's operation.
  void addRequested();
  void replaceRequested();
  /// A row was chosen: its fields go into the form.
  void rowChosen(const JobRow& row);

 private:
  void rebuild();
  int chosen() const;
  void moveRow(int from, int to);

  JobDocument document_;
  std::optional<std::string> path_;
  QTableWidget* table_ = nullptr;
  QPushButton* replace_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
};

}  // namespace quorrel::app
