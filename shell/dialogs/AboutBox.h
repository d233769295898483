// CAboutBox: the program's name and version, a line about what it does, and
// where to find the makers: the home page, a sales and a support address.
// Run it with DoModal (through ExecModal); its result means nothing.
#pragma once

#include <QString>

#include "PictureDialog.h"

namespace drelin {

class CAboutBox : public CPictureDialog {
  Q_OBJECT

 public:
  explicit CAboutBox(QWidget* parent = nullptr);

  QString m_strVersion;
  QString m_strContact;  // lines separated by CR LF
};

}  // namespace drelin
