// CCorvantilexDoc: the program's one document. It holds no data (the tables
// live in the view's lists) and only carries the title that opens the
// window's caption.
#pragma once

#include <QString>

#include "ShellTexts.h"

namespace drelin {

class CCorvantilexDoc {
 public:
  // A new document takes its title.
  bool OnNewDocument() {
    m_strTitle = QString::fromLatin1(shell_texts::kDocumentTitle);
    return true;
  }
  const QString& GetTitle() const { return m_strTitle; }

 private:
  QString m_strTitle;
};

}  // namespace drelin
