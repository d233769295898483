// Renders every message box the program shows, a few boxes that use the
// box's other features, a page of markup samples, and sheets of the skinned
// controls and flat menus to PNG files, so a person can check them by eye.
// Usage: toolkit_gallery <output folder>.
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ControlsGallery.h"
#include "MarkupDrawer.h"
#include "MarkupImages.h"
#include "MessageBoxWindow.h"
#include "PictureSheets.h"
#include "RichMessageBox.h"

namespace {

using drelin::MessageBoxParams;
using drelin::MessageBoxWindow;

const QString kProduct = QStringLiteral("Tarnova Drelin DBF");
const QString kPrefixCaption = QStringLiteral("Tarnova Drelin Degital media");

// The box as a window manager would frame it: a title bar over the client.
QImage Framed(MessageBoxWindow& box) {
  box.show();
  QApplication::processEvents();
  const QImage client = box.grab().toImage();
  const int title = 24;
  QImage framed(client.width() + 2, client.height() + title + 1, QImage::Format_RGB32);
  framed.fill(QColor(0x2B, 0x57, 0x9A));
  QPainter painter(&framed);
  painter.drawImage(1, title, client);
  painter.setPen(Qt::white);
  QFont font = QApplication::font();
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRect(8, 0, framed.width() - 40, title), Qt::AlignVCenter | Qt::AlignLeft, box.windowTitle());
  if (box.closeEnabled()) painter.drawText(QRect(framed.width() - 22, 0, 18, title), Qt::AlignCenter, QStringLiteral("x"));
  return framed;
}

int g_saved = 0;
std::vector<QImage> g_sheet;  // every box, for the overview sheet

void Save(const QImage& image, const QDir& folder, const QString& name) {
  if (!name.startsWith(QLatin1String("40"))) g_sheet.push_back(image);
  const QString path = folder.filePath(QStringLiteral("%1.png").arg(name));
  if (!image.save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return;
  }
  ++g_saved;
}

MessageBoxParams Message(const QString& text, std::uint32_t style, const QString& caption = kProduct) {
  MessageBoxParams params = drelin::DefaultMessageParams();
  params.text = text;
  params.style = style;
  params.caption = caption;
  return params;
}

void SaveBox(const MessageBoxParams& params, const QDir& folder, const QString& name, bool expand = false) {
  MessageBoxWindow box(params);
  if (expand) box.Command(drelin::mb::kIdMore);
  Save(Framed(box), folder, name);
}

void RenderProgramMessages(const QDir& folder) {
  struct Entry {
    const char* name;
    QString text;
    std::uint32_t style;
    QString caption;
    QString more;
  };
  const QString hint0 = QStringLiteral("\t1. Add files into list from the add file button from toolbar\n\t2. Click next or repair file button.");
  const std::vector<Entry> entries = {
      {"01_install_office", "Please install MS Office and then proceed further.", 0x30, kProduct, {}},
      {"02_stop_repairing", "Are you sure that you want to stop the reparing of the file", 0x23, kProduct, {}},
      {"03_stop_to_go_back", "Firstly stop the repairing of the file to go back", 0x30, kProduct, {}},
      {"04_stop_to_save", "Firstly stop the Repairing to save the file", 0x30, kProduct, {}},
      {"05_nothing_repaired", "No file is repaired yet", 0x30, kProduct, {}},
      {"06_unsaved_results", "Repaired files have not been saved. Do you want to save it?", 0x23, kProduct, {}},
      {"07_no_files_to_remove", "No files to remove.", 0x40, kProduct, {}},
      {"08_select_to_remove", "Please select the file(s) which you want to remove.", 0x40, kProduct, {}},
      {"09_add_files", "Please add file(s) in the list to repair", 0x30, kProduct, hint0},
      {"10_select_files", "Please select the file(s) from the list", 0x30, kProduct,
       "\t1. Please select the file(s) from the list \n\t2. Click Next button"},
      {"11_no_preview_while_repairing",
       "You can not see the preview while repairing the file.\t\t\t\nTo see the preview stop the repairing of file", 0x30,
       kProduct, {}},
      {"12_select_for_preview", "Please select a file from the list to see the preview", 0x00, kProduct, {}},
      {"13_not_repaired", "File is not repaired yet!", 0x30, kProduct, {}},
      {"14_stop_before_exit", "First stop the reparing of file by clicking the stop button", 0x00, kProduct, {}},
      {"15_exit", "Do you really want to exit ?", 0x24, kProduct, {}},
      {"16_fill_prefix", "Please fill prefix", 0x40, kPrefixCaption, {}},
      {"17_illegal_prefix", "Illegal character found in file pre fix ", 0x40, kPrefixCaption, {}},
      {"18_help_missing", " Help file for Tarnova Drelin DBF not found.", 0x40, kProduct, {}},
      {"19_update_missing", "Live Update file not found. Please re-install the software.", 0x40, kProduct, {}},
      {"20_run_update", "The application will be closed if you want to run Live Update of the software. Continue ?", 0x24,
       kProduct, {}},
      {"21_error_report",
       "Could not move " + drelin::EscapeMarkup("/home/user/<new> & old/Rep_1_orders.dbf") + ":\nPermission denied",
       0x30, kProduct, {}},
  };
  for (const Entry& entry : entries) {
    MessageBoxParams params = Message(entry.text, entry.style, entry.caption);
    params.moreText = entry.more;
    SaveBox(params, folder, QString::fromLatin1(entry.name));
    if (!entry.more.isEmpty()) SaveBox(params, folder, QString::fromLatin1(entry.name) + "_more", true);
  }
}

void RenderFeatures(const QDir& folder) {
  MessageBoxParams rich = Message("The table <b>orders.dbf</b> was repaired.\n"
                                  "<font color=#008000>1 204 records</font> kept, <font color=red>3</font> dropped.\n"
                                  "See <a href=\"https://example.org/help\">the help page</a> for details.",
                                  0x01004043);
  rich.headerHeight = 40;
  rich.headerText = "<h2>Repair finished</h2>";
  rich.headerArea.backgroundEffect = 1;
  rich.headerArea.startColor = drelin::ColorRef(0xFFFFFF);
  rich.headerArea.endColor = drelin::ColorRef(0xF0D8C0);
  rich.headerArea.separatorStyle = 1;
  rich.controlArea.separatorStyle = 1;
  rich.controlArea.separatorAlignment = 2;
  rich.controlArea.separatorText = "Your answer";
  rich.moreText = "<table border=1 cellpadding=3><tr><td><b>Field</b></td><td><b>Fix</b></td></tr>"
                  "<tr><td>NAME</td><td>length 30</td></tr><tr><td>PRICE</td><td>decimals 2</td></tr></table>";
  rich.moreArea.separatorStyle = 2;
  rich.moreArea.separatorText = "Details";
  SaveBox(rich, folder, "30_header_separators_checkbox");
  SaveBox(rich, folder, "31_header_separators_checkbox_more", true);

  MessageBoxParams own = Message("Choose what to do with <i>orders.dbf</i>.", 0x00000120);
  own.customButtons = "Repair\nSkip\nPreview\nStop";
  own.buttonAlignment = 1;
  SaveBox(own, folder, "32_own_buttons_right");

  MessageBoxParams timeout = Message("This box presses <b>Yes</b> by itself.", 0x18000023);
  timeout.timeoutSeconds = 5;
  SaveBox(timeout, folder, "33_timeout_yes_to_all");

  MessageBoxParams disabled = Message("Read this before you go on.", 0x4001, "Backup");
  disabled.disableSeconds = 3;
  disabled.countdownInCaption = true;
  SaveBox(disabled, folder, "34_disable_in_caption");

  MessageBoxParams right = Message("Right-aligned text\nbeside the stop icon", 0x80012);
  right.messageArea.backgroundEffect = 2;
  right.messageArea.startColor = drelin::ColorRef(0xFFFFFF);
  right.messageArea.endColor = drelin::ColorRef(0xE0E0E0);
  SaveBox(right, folder, "35_right_aligned_stop");

  MessageBoxParams below = Message("Skip this kind of table from now on?", 0x07000008);
  below.checkboxText = "Remember my answer";
  SaveBox(below, folder, "36_checkbox_below_skip_set");
}

void RenderMarkupPage(const QDir& folder) {
  QImage picture(24, 24, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2B, 0x8A, 0xD8));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 20, 20);
    painter.setBrush(Qt::yellow);
    painter.drawEllipse(8, 8, 8, 8);
  }
  const drelin::ScopedMarkupImage handle(picture);
  const QString image = QStringLiteral("<bmp handle=0x%1").arg(handle.handle(), 0, 16);
  QString effects = "<table cellspacing=4 border=1 cellpadding=4>";
  const char* names[] = {"solid", "hgradient", "vgradient", "hcgradient", "vcgradient", "3hgradient",
                         "3vgradient", "noise", "diagshade", "hshade", "vshade", "hbump",
                         "vbump", "softbump", "hardbump", "metal"};
  for (int row = 0; row < 4; ++row) {
    effects += "<tr>";
    for (int col = 0; col < 4; ++col) {
      const char* name = names[row * 4 + col];
      effects += QStringLiteral("<td width=110 height=36 bgeffect=%1 bgcolor=#2060c0 bgmidcolor=white bgendcolor=#f0c040>"
                                "<font color=black>%1</font></td>").arg(QLatin1String(name));
    }
    effects += "</tr>";
  }
  effects += "</table>";
  const QString text =
      "<h1>Markup samples</h1>\n"
      "<b>bold</b> <b><b>bolder</b></b> <i>italic</i> <u>underline</u> <s>strike</s> "
      "<font style=o>overline</font> <font face=\"Courier\" color=#990000>Courier</font> "
      "<font size=5>size 5</font> <font size=150%>150%</font> x<sup>sup</sup> x<sub>sub</sub>\n"
      "<h2>Entities</h2>\n&copy; &reg; &trade; &bull; &euro; &pound; &para; &iquest; &lt;b&gt; &quot;q&quot; &amp;\n"
      "<h3>Links and colours</h3>\n<a href=\"https://example.org\">an address</a>, <a msg=\"hello\">a message link</a>, "
      "<font color=crimson>crimson</font> <font color=teal>teal</font> <font color=0xFF0000>blue as a number</font> "
      "<font bkgnd=yellow>opaque background</font> <span class=cpp-comment>// a comment</span>\n"
      "Tabs:<t>one<t>two<t=2>three\n"
      "<center>centred line</center>\n<right>right-aligned line</right>\n"
      "<hr width=60% size=2 color=gray>"
      "\nImages: " + image + "> " + image + " style=g> " + image + " style=d> " + image + " style=l> " + image +
      " style=s> " + image + " width=200% height=200%> <ilst handle=0x" + QString::number(handle.handle(), 16) +
      " cx=12 index=1>\n<h4>Background effects</h4>\n" + effects +
      "<table border=3 borderstyle=double bordercolorlight=#c0c0ff bordercolordark=#202080 cellpadding=6 bgeffect=vgradient "
      "bgcolor=#ffffff bgendcolor=#dde6ff><tr><td rowspan=2 valign=middle><b>rowspan 2</b></td><td colspan=2 align=center>"
      "colspan 2, centred</td></tr><tr><td>cell</td><td align=right>right<br>aligned</td></tr></table>";
  drelin::MarkupDrawer drawer;
  QImage probe(1, 1, QImage::Format_RGB32);
  const QSize size = drawer.Measure(&probe, text);
  QImage page(size + QSize(40, 40), QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter painter(&page);
  drawer.Draw(painter, QRect(QPoint(20, 20), size));
  painter.end();
  Save(page, folder, "40_markup_samples");
}

// All boxes on one sheet, two columns, for a quick look.
void SaveSheet(const QDir& folder) {
  const int gap = 12;
  int columnWidth = 0;
  for (const QImage& image : g_sheet) columnWidth = std::max(columnWidth, image.width());
  std::vector<int> heights(2, gap);
  for (std::size_t i = 0; i < g_sheet.size(); ++i) heights[i % 2] += g_sheet[i].height() + gap;
  QImage sheet(2 * columnWidth + 3 * gap, std::max(heights[0], heights[1]), QImage::Format_RGB32);
  sheet.fill(QColor(0x70, 0x70, 0x70));
  QPainter painter(&sheet);
  std::vector<int> y(2, gap);
  for (std::size_t i = 0; i < g_sheet.size(); ++i) {
    const int column = static_cast<int>(i % 2);
    painter.drawImage(gap + column * (columnWidth + gap), y[static_cast<std::size_t>(column)], g_sheet[i]);
    y[static_cast<std::size_t>(column)] += g_sheet[i].height() + gap;
  }
  painter.end();
  Save(sheet, folder, "00_all_boxes");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  if (qEnvironmentVariableIsEmpty("QT_FONT_DPI")) qputenv("QT_FONT_DPI", "96");
  QApplication application(argc, argv);
  const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery"));
  if (!QDir().mkpath(folder.path())) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
    return 1;
  }
  RenderProgramMessages(folder);
  RenderFeatures(folder);
  RenderMarkupPage(folder);
  SaveSheet(folder);
  g_saved += RenderControlSheets(folder);
  g_saved += gallery::RenderPictureSheets(folder);
  std::printf("%d images in %s\n", g_saved, qPrintable(folder.absolutePath()));
  return g_saved > 0 ? 0 : 1;
}
