// The small box that shows a JPEG file being read or written.
#ifndef MIROKATA_PICTURE_UI_JPEG_PROGRESS_WINDOW_H_
#define MIROKATA_PICTURE_UI_JPEG_PROGRESS_WINDOW_H_

#include <QString>
#include <QWidget>

#include "picture/jpeg_jobs.h"

class QLabel;
class QProgressBar;

namespace mirokata {

// Borderless, always on top, 229 x 70 in the middle of the screen on the
// tooltip colour: the product name, the version, a bar from 0 to 100 and a
// red line saying what is going on. It never takes the focus.
class JpegProgressWindow : public QWidget {
  Q_OBJECT

 public:
  JpegProgressWindow(JpegJobKind kind, const QString& version,
                     QWidget* parent = nullptr);

  void SetPercent(int percent);
  int percent() const;
  QString status_text() const;

 private:
  QProgressBar* bar_;
  QLabel* status_;
};

// Shows a JpegProgressWindow for every job of `jobs` that asks for one, for
// exactly as long as it runs, with the busy cursor meanwhile (both put
// away before an error question or message). `version` is the main window's
// version text. Owned by `jobs`.
void AttachJpegProgressWindow(JpegJobs* jobs, const QString& version);

}  // namespace mirokata

#endif  // MIROKATA_PICTURE_UI_JPEG_PROGRESS_WINDOW_H_
