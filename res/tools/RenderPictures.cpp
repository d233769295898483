// RenderPictures: turns the hand-written SVG sources of the program's
// pictures into the PNG files the program compiles in, once at their own
// size and once at twice that size, and into the companion BMP files that
// stand beside the program, and the program's icon into the sizes of a
// desktop icon theme. Run by the build:
//   render_pictures <manifest> <svg folder> <png folder> <file folder>
//   render_pictures --icon-theme <icon.svg> <theme folder> <name> <size>...
// The second form writes <theme folder>/<size>x<size>/apps/<name>.png for
// each size, keeping the alpha channel.
// Each manifest line is "<name> <kind> <layer>...": the layers are drawn in
// order onto one canvas the size of the first; a layer "<file.svg>@x,y,w,h"
// is drawn into that rectangle of the canvas (in its logical pixels). Kinds:
//   icon        kept with its alpha channel;
//   opaque      flattened onto white;
//   key <#rgb>  a button bitmap: every pixel the drawing touches is laid
//               over the given background colour and made opaque, every
//               other pixel becomes exact black, the transparent key;
//   file        written once, at its own size, under the given file name.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {

// A pixel the drawing covers less than this (of 255) stays transparent.
constexpr int kMinCoverage = 8;

struct Entry {
  QString name;
  QString kind;
  QColor matte;
  QStringList layers;
};

[[noreturn]] void Fail(const QString& message) {
  std::fprintf(stderr, "render_pictures: %s\n", qPrintable(message));
  std::exit(1);
}

QList<Entry> ReadManifest(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) Fail(QStringLiteral("cannot read ") + path);
  QList<Entry> entries;
  QTextStream in(&file);
  while (!in.atEnd()) {
    QStringList words = in.readLine().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.front().startsWith(QLatin1Char('#'))) continue;
    if (words.size() < 3) Fail(QStringLiteral("short line: ") + words.join(QLatin1Char(' ')));
    Entry entry{words.takeFirst(), words.takeFirst(), {}, {}};
    if (entry.kind == QLatin1String("key")) entry.matte = QColor(words.takeFirst());
    const QStringList kinds = {"icon", "opaque", "key", "file"};
    if (!kinds.contains(entry.kind) || words.isEmpty() || (entry.kind == QLatin1String("key") && !entry.matte.isValid()))
      Fail(QStringLiteral("bad line for ") + entry.name);
    entry.layers = words;
    entries.push_back(entry);
  }
  return entries;
}

// Where a layer goes: its own rectangle, or the whole canvas.
QRectF Placement(const QString& layer, const QImage& canvas, int scale) {
  const QStringList numbers = layer.section(QLatin1Char('@'), 1).split(QLatin1Char(','));
  if (numbers.size() != 4) return QRectF(QPointF(0, 0), QSizeF(canvas.size()));
  return QRectF(numbers[0].toDouble() * scale, numbers[1].toDouble() * scale,
                numbers[2].toDouble() * scale, numbers[3].toDouble() * scale);
}

QImage Render(const QStringList& layers, const QString& folder, int scale) {
  QImage canvas;
  QPainter painter;
  for (const QString& layer : layers) {
    const QString file = layer.section(QLatin1Char('@'), 0, 0);
    QSvgRenderer svg(folder + QLatin1Char('/') + file);
    if (!svg.isValid()) Fail(QStringLiteral("cannot render ") + file);
    if (canvas.isNull()) {
      canvas = QImage(svg.defaultSize() * scale, QImage::Format_ARGB32_Premultiplied);
      canvas.fill(Qt::transparent);
      painter.begin(&canvas);
      painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                             QPainter::SmoothPixmapTransform);
    }
    svg.render(&painter, Placement(layer, canvas, scale));
  }
  painter.end();
  return canvas;
}

QImage Flattened(const QImage& image, const QColor& background) {
  QImage flat(image.size(), QImage::Format_RGB32);
  flat.fill(background);
  QPainter(&flat).drawImage(0, 0, image);
  return flat;
}

// Lays covered pixels over `matte` and keys out the rest as exact black.
QImage Keyed(const QImage& image, const QColor& matte) {
  const QImage flat = Flattened(image, matte);
  QImage keyed(image.size(), QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    const auto* drawn = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const auto* over = reinterpret_cast<const QRgb*>(flat.constScanLine(y));
    auto* out = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      out[x] = qAlpha(drawn[x]) < kMinCoverage ? qRgb(0, 0, 0) : over[x];
  }
  return keyed;
}

QImage Finished(const Entry& entry, const QString& folder, int scale) {
  const QImage drawn = Render(entry.layers, folder, scale);
  if (entry.kind == QLatin1String("icon")) return drawn;
  if (entry.kind == QLatin1String("key")) return Keyed(drawn, entry.matte);
  return Flattened(drawn, Qt::white);
}

void Save(const QImage& image, const QString& path) {
  if (!image.save(path)) Fail(QStringLiteral("cannot write ") + path);
}

// Passes Qt's messages on (the SVG reader's warnings matter) except the
// note about a missing session folder, which a build machine need not have.
void PrintMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (!message.startsWith(QLatin1String("QStandardPaths:")))
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

// The icon theme's pictures: one square PNG per size, drawn straight from
// the SVG at that size (never scaled from another bitmap).
void RenderIconTheme(const QStringList& args) {
  if (args.size() < 6) Fail(QStringLiteral("usage: render_pictures --icon-theme <svg> <folder> <name> <size>..."));
  const QString svg = args[2], folder = args[3], name = args[4];
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) Fail(QStringLiteral("cannot render ") + svg);
  for (const QString& word : args.mid(5)) {
    bool ok = false;
    const int size = word.toInt(&ok);
    if (!ok || size <= 0) Fail(QStringLiteral("bad icon size ") + word);
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    const QString apps = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
    if (!QDir().mkpath(apps)) Fail(QStringLiteral("cannot create ") + apps);
    Save(icon, QStringLiteral("%1/%2.png").arg(apps, name));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(PrintMessage);
  QGuiApplication application(argc, argv);
  const QStringList args = application.arguments();
  if (args.size() > 1 && args[1] == QLatin1String("--icon-theme")) {
    RenderIconTheme(args);
    return 0;
  }
  if (args.size() != 5) Fail(QStringLiteral("usage: render_pictures <manifest> <svg> <png> <files>"));
  const QString svgFolder = args[2], pngFolder = args[3], fileFolder = args[4];
  for (const Entry& entry : ReadManifest(args[1])) {
    if (entry.kind == QLatin1String("file")) {
      Save(Finished(entry, svgFolder, 1), fileFolder + QLatin1Char('/') + entry.name);
      continue;
    }
    Save(Finished(entry, svgFolder, 1), QStringLiteral("%1/%2.png").arg(pngFolder, entry.name));
    Save(Finished(entry, svgFolder, 2), QStringLiteral("%1/%2@2x.png").arg(pngFolder, entry.name));
  }
  return 0;
}
