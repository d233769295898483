#include "AboutBox.h"

#include "ClearLabel.h"
#include "HomePage.h"
#include "ResourceIds.h"

namespace drelin {
namespace {

constexpr char kVersionLine[] = "Tarnova Drelin for  DBF  Version 4.03";
constexpr char kAboutLine[] = "Repairs damaged dBASE III tables.";
constexpr char kSalesAddress[] = "sales@tarnova-drelin.example";
constexpr char kSupportAddress[] = "support@tarnova-drelin.example";

}  // namespace

CAboutBox::CAboutBox(QWidget* parent)
    : CPictureDialog(parent, res::kBmpAbout, QStringLiteral("About Tarnova Drelin DBF"), 239, 206) {
  setObjectName(QStringLiteral("About"));
  m_strVersion = QString::fromLatin1(kVersionLine);
  m_strContact = QStringLiteral("%1\r\n\r\n%2\r\n\r\n%3")
                     .arg(QLatin1String(kHomePageAddress), QLatin1String(kSalesAddress),
                          QLatin1String(kSupportAddress));
  AddLabel(res::kIdAboutVersion, m_strVersion, 53, 71, 163, 8);
  AddLabel(res::kIdAboutText, QString::fromLatin1(kAboutLine), 53, 84, 164, 9);
  // A label breaks lines at line feeds; a carriage return would show.
  AddLabel(res::kIdAboutContact, QString(m_strContact).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
           53, 97, 143, 85);
  AddButton(res::kIdOk, QStringLiteral("OK"), 93, 185, 50, 14);
}

}  // namespace drelin
