#include "MultiFileDialog.h"

#include <QString>

#include "ModalSeam.h"
#include "ViewTexts.h"

namespace drelin {

bool CMultiFileDialog::DoModal() {
  paths_ = ChooseOpenFiles(owner_, QString::fromLatin1(view_texts::kOpenCaption),
                           QString::fromLatin1(view_texts::kDbfFilter));
  return !paths_.empty();
}

}  // namespace drelin
