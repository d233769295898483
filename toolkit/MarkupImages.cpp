#include "MarkupImages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QResource>

#include <sys/stat.h>

#include "MarkupLimits.h"
#include "MarkupValues.h"

namespace drelin {
namespace {

std::map<unsigned, QImage>& HandleTable() {
  static std::map<unsigned, QImage> table;
  return table;
}

QImage ReadBounded(QImageReader& reader) {
  reader.setAllocationLimit(markup_limits::kMaxImageAllocationMb);
  const QSize size = reader.size();
  const long long side = markup_limits::kMaxImageSide;
  if (size.isValid() && (size.width() > side * 4 || size.height() > side * 4)) return {};
  QImage image = reader.read();
  return image;
}

QImage FromResourcePath(const QString& base) {
  for (const char* suffix : {".png", ".bmp", ".ico", ".svg", ""}) {
    const QString path = base + QLatin1String(suffix);
    if (!QFileInfo::exists(path)) continue;
    QImageReader reader(path);
    const QImage image = ReadBounded(reader);
    if (!image.isNull()) return image;
  }
  return {};
}

// Registers a resource file under a private root and drops it again.
class ScopedResourceFile {
 public:
  ScopedResourceFile(const QString& path, const QString& root)
      : path_(path), root_(root), ok_(QResource::registerResource(path, root)) {}
  ~ScopedResourceFile() {
    if (ok_) QResource::unregisterResource(path_, root_);
  }
  ScopedResourceFile(const ScopedResourceFile&) = delete;
  ScopedResourceFile& operator=(const ScopedResourceFile&) = delete;
  bool ok() const { return ok_; }

 private:
  QString path_;
  QString root_;
  bool ok_;
};

bool IsRegularFile(const QString& path) {
  struct stat info{};
  const QByteArray native = QFile::encodeName(path);
  return ::stat(native.constData(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

unsigned MarkupImageTable::Register(const QImage& image) {
  static unsigned next = 0x100;
  auto& table = HandleTable();
  do {
    next = next >= 0x7FFFFFF0u ? 0x100 : next + 1;
  } while (table.count(next) != 0);
  table[next] = image;
  return next;
}

void MarkupImageTable::Unregister(unsigned handle) { HandleTable().erase(handle); }

QImage MarkupImageTable::Find(long long handle) {
  if (handle <= 0 || handle > 0xFFFFFFFFll) return {};
  const auto& table = HandleTable();
  const auto it = table.find(static_cast<unsigned>(handle));
  return it == table.end() ? QImage() : it->second;
}

QImage LoadProgramImage(long long id, qreal devicePixelRatio) {
  if (id < 0 || id > 0xFFFF) return {};
  const QString base = QStringLiteral(":/res/%1").arg(id);
  if (devicePixelRatio > 1.0) {
    QImage sharp = FromResourcePath(base + QLatin1String("@2x"));
    if (!sharp.isNull()) {
      sharp.setDevicePixelRatio(2.0);
      return sharp;
    }
  }
  return FromResourcePath(base);
}

QImage LoadModuleImage(const QString& module, long long id, bool trusted) {
  if (module.isEmpty() || id < 0 || id > 0xFFFF) return {};
  QString path;
  if (trusted && QFileInfo(module).isAbsolute()) {
    path = module;
  } else {
    if (module.contains(QLatin1Char('/')) || module == QLatin1String("..") ||
        module == QLatin1String("."))
      return {};
    path = QDir(QCoreApplication::applicationDirPath()).filePath(module);
  }
  if (!IsRegularFile(path)) return {};
  static int serial = 0;
  const QString root = QStringLiteral("/drelin-markup-module-%1").arg(++serial);
  const ScopedResourceFile resource(path, root);
  if (!resource.ok()) return {};
  return FromResourcePath(QStringLiteral(":%1/res/%2").arg(root).arg(id));
}

QImage LoadImageFile(const QString& path) {
  if (path.isEmpty() || !IsRegularFile(path)) return {};
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  return ReadBounded(reader);
}

QImage LoadTagImage(const MarkupAttributes& attributes, const QString& resourceModule) {
  if (const QString* handle = FindAttribute(attributes, "handle")) {
    const std::optional<long long> number = ParseNumber(*handle);
    return number ? MarkupImageTable::Find(*number) : QImage();
  }
  if (const QString* file = FindAttribute(attributes, "file")) return LoadImageFile(*file);
  if (const QString* id = FindAttribute(attributes, "iddll")) {
    const std::optional<long long> number = ParseNumber(*id);
    if (!number) return {};
    if (const QString* module = FindAttribute(attributes, "srcdll"))
      return LoadModuleImage(*module, *number, false);
    return LoadModuleImage(resourceModule, *number, true);
  }
  if (const QString* id = FindAttribute(attributes, "idres")) {
    const std::optional<long long> number = ParseNumber(*id);
    if (!number) return {};
    if (const QString* module = FindAttribute(attributes, "srcdll"))
      return LoadModuleImage(*module, *number, false);
    return LoadProgramImage(*number);
  }
  return {};
}

}  // namespace drelin
