#include "window/ui/frmtessarin.h"

#include "runtime/twips.h"
#include "window/defaults.h"
#include "window/ui/accessibility.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/scrollbar.h"
#include "window/ui/textboxes.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QResizeEvent>

const QString FrmTessarin::Title = QStringLiteral("墨砾版字符拼合画");

namespace {

// The Song face the window was designed in, or what stands in for it here.
QFont songFont(qreal points, bool bold = false)
{
    QFont font;
    font.setFamilies(SongFaces);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Names a control, gives it its place in twips and its tooltip. A screen reader names a control
// by its tooltip where it has one: a box has no caption, a style button only a letter.
template <class Widget>
Widget* place(Widget* widget, const char* name, QRect twips, const char16_t* tip = nullptr)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    if (tip) {
        widget->setToolTip(QString::fromUtf16(tip));
        widget->setAccessibleName(widget->toolTip());
    }
    return widget;
}

// Fills the rectangle of the widget it lies on, following it as it moves and resizes.
class Backdrop : public QWidget
{
public:
    explicit Backdrop(QWidget* covered)
        : QWidget(covered->parentWidget())
    {
        setAutoFillBackground(true);
        setGeometry(covered->geometry());
        covered->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
            setGeometry(static_cast<QWidget*>(watched)->geometry());
        return false;
    }
};

// A control inside the preview viewport, placed in its pixels.
PictureBox* inside(QWidget* viewport, const char* name, QPoint at, PictureBox::Border border)
{
    auto* picture = new PictureBox(border, viewport);
    picture->setObjectName(QLatin1String(name));
    picture->move(at);
    return picture;
}

} // namespace

FrmTessarin::FrmTessarin(Services& services, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
{
    setWindowTitle(Title);
    // Its own 40 x 40 icon, for the task bar.
    setWindowIcon(QIcon(QStringLiteral(":/tessarin/tessarin.png")));
    resize(TwipsToPixels(4680), TwipsToPixels(3195));
    // The window was laid out for its platform's default control font, a 9-point
    // Song face twelve pixels high; a taller font would be cut off in the small
    // fields and labels.
    setFont(songFont(9));
    InstallAccessibleInterfaces();
    createControls();
    createMenus();
    connectHandlers();
    createTabs();
    createBackgrounds();
}

FrmTessarin::~FrmTessarin() = default;

// The controls are made in the keyboard order, which Qt's focus chain follows.
void FrmTessarin::createControls()
{
    TxtSrc = place(new MultiLineTextBox(this), "TxtSrc", {0, 0, 1500, 900}, u"源字符");
    TxtView1 = place(new MultiLineTextBox(this), "TxtView1", {1500, 0, 1500, 900}, u"显示字符");
    TxtView2 = place(new MultiLineTextBox(this), "TxtView2", {3000, 0, 1500, 900}, u"空格字符");
    TxtMapWidth = place(new TextBox(4, this), "TxtMapWidth", {0, 900, 750, 300}, u"图片宽度");
    TxtMapWidth->setText(QString::number(StartPreviewSide));
    TxtMapHeight = place(new TextBox(4, this), "TxtMapHeight", {750, 900, 750, 300}, u"图片高度");
    TxtMapHeight->setText(QString::number(StartPreviewSide));
    TxtHeight = place(new TextBox(3, this), "TxtHeight", {0, 1200, 1500, 300}, u"字体大小");
    TxtHeight->setText(QString::number(StartPoints));

    struct StyleButton
    {
        CheckBox*& control;
        const char* name;
        const char16_t* caption;
        const char16_t* tip;
        int left, width;
        void (QFont::*style)(bool);
    };
    const StyleButton styles[] = {
        {ChkB, "ChkB", u"B", u"粗体", 0, 390, &QFont::setBold},
        {ChkI, "ChkI", u"I", u"斜体", 390, 360, &QFont::setItalic},
        {ChkU, "ChkU", u"U", u"下划线", 750, 390, &QFont::setUnderline},
        {ChkD, "ChkD", u"D", u"删除线", 1140, 360, &QFont::setStrikeOut},
    };
    for (const StyleButton& button : styles) {
        const QString caption = QString::fromUtf16(button.caption);
        button.control = place(new CheckBox(caption, CheckBox::ButtonLook, this), button.name,
            {button.left, 1500, button.width, 270}, button.tip);
        // Each button shows its letter in the style it switches on.
        QFont font = songFont(9);
        (font.*button.style)(true);
        button.control->setFont(font);
    }

    ChkDelRight = place(new CheckBox(QStringLiteral("删除右侧空格"), CheckBox::BoxLook, this),
        "ChkDelRight", {0, 1740, 1425, 225});
    LblFontName
        = place(new Label(QStringLiteral("字体名"), this), "LblFontName", {270, 1980, 900, 180});
    ChkTxtFont = place(new CheckBox(QStringLiteral(" "), CheckBox::BoxLook, this), "ChkTxtFont",
        {0, 1950, 285, 225});
    // Its caption is a blank: it is named by what it does, as the settings file names it.
    ChkTxtFont->setAccessibleName(QStringLiteral("改变字体"));
    ListFontName = place(new QListWidget(this), "ListFontName", {0, 2160, 1500, 1020});
    ListFontName->setAccessibleName(LblFontName->text());

    Lbl1 = place(new TabLabel(QStringLiteral("预览"), this), "Lbl1", {1500, 900, 300, 600});
    Lbl2 = place(new TabLabel(QStringLiteral("显示"), this), "Lbl2", {1500, 1500, 300, 600});
    for (Label* tab : {Lbl1, Lbl2}) {
        tab->setFont(songFont(12, true));
        tab->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    for (Label* label : std::initializer_list<Label*> {LblFontName, Lbl1, Lbl2})
        label->setFocusPolicy(Qt::NoFocus);

    CmdConv
        = place(new CommandButton(QStringLiteral("生成"), this), "CmdConv", {1500, 2190, 300, 600});
    CmdConv->setFont(songFont(12, true));
    CmdMore = place(new CommandButton(QStringLiteral("▼"), this), "CmdMore", {1500, 2790, 300, 300},
        u"More...");
    CmdMore->setFont(songFont(10.5));
    CmdMore->setAccessibleName(QStringLiteral("更多"));

    Pic1 = place(new PictureBox(PictureBox::SunkenBorder, this), "Pic1", {1800, 900, 2595, 2025});
    // The wheel over the preview scrolls it (eventFilter).
    Pic1->installEventFilter(this);
    Pic1->setAccessibleName(QStringLiteral("预览区"));
    HSBar1 = place(new ScrollBar(Qt::Horizontal, this), "HSBar1", {1830, 2910, 2505, 240});
    VSBar1 = place(new ScrollBar(Qt::Vertical, this), "VSBar1", {4410, 930, 240, 1845});
    HSBar1->setAccessibleName(QStringLiteral("预览水平滚动条"));
    VSBar1->setAccessibleName(QStringLiteral("预览垂直滚动条"));
    // From 0, at 0, in steps of 1 as Qt's bars start; LayoutPreview sets the rest again.
    for (ScrollBar* bar : {HSBar1, VSBar1}) {
        bar->SetMax(1024);
        bar->SetLargeChange(16);
    }

    QWidget* viewport = Pic1->Container();
    Pic2 = inside(viewport, "Pic2", {0, 0}, PictureBox::NoBorder);
    Pic2->SetBackColor(Qt::white);
    Pic2->SetSizedName(QStringLiteral("预览图"));
    Pic2->SetInnerSize(StartPreviewSide, StartPreviewSide);
    Pic2->Font() = songFont(StartPoints);
    // Small glyphs come out in crisp one-pixel strokes, as the generator needs them.
    Pic2->Font().setStyleStrategy(QFont::NoAntialias);
    // A click on the preview takes the focus, so the keys stop going where they went before.
    for (PictureBox* picture : {Pic1, Pic2})
        picture->setFocusPolicy(Qt::StrongFocus);
    Pic3 = inside(viewport, "Pic3", {58, 12}, PictureBox::SunkenBorder);
    Pic3->SetAutoSize(true);
    Pic3->SetInnerSize(32, 32);
    Pic3->hide();

    // The output box lies beneath the preview group on the same rectangle.
    TxtOut = place(new OutputBox(this), "TxtOut", {1800, 900, 2835, 2265});
    TxtOut->setAccessibleName(QStringLiteral("输出文本"));
    m_previewBackdrop = new Backdrop(TxtOut);
    m_previewBackdrop->lower();
    TxtOut->lower();
    // Character pictures line up only in a fixed-pitch face whose Chinese
    // characters are exactly two of its ASCII characters wide.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), fixed.family()});
    fixed.setPointSize(9);
    TxtOut->setFont(fixed);
    // Tab passes the box by while the preview covers it (the tabs change this), so the
    // keys never go where the user cannot see them.
    TxtOut->setFocusPolicy(Qt::ClickFocus);

    Pic4 = inside(viewport, "Pic4", {60, 54}, PictureBox::SunkenBorder);
    Pic4->SetAutoSize(true);
    Pic4->hide();
}

void FrmTessarin::connectHandlers()
{
    connect(CmdConv, &QPushButton::clicked, this, &FrmTessarin::CmdConv_Click);
    connect(Lbl1, &Label::Click, this, &FrmTessarin::Lbl1_Click);
    connect(Lbl2, &Label::Click, this, &FrmTessarin::Lbl2_Click);
    connect(LblFontName, &Label::DblClick, this, &FrmTessarin::LblFontName_DblClick);
    connect(ListFontName, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ListFontName_Click();
    });
    connect(ChkTxtFont, &QCheckBox::stateChanged, this, &FrmTessarin::ChkTxtFont_Click);
    connect(ChkB, &QCheckBox::stateChanged, this, &FrmTessarin::ChkB_Click);
    connect(ChkI, &QCheckBox::stateChanged, this, &FrmTessarin::ChkI_Click);
    connect(ChkU, &QCheckBox::stateChanged, this, &FrmTessarin::ChkU_Click);
    connect(ChkD, &QCheckBox::stateChanged, this, &FrmTessarin::ChkD_Click);
    connect(TxtHeight, &QLineEdit::textChanged, this, &FrmTessarin::TxtHeight_Change);
    connect(TxtMapWidth, &QLineEdit::textChanged, this, &FrmTessarin::TxtMapWidth_Change);
    connect(TxtMapHeight, &QLineEdit::textChanged, this, &FrmTessarin::TxtMapHeight_Change);
    connect(TxtSrc, &QPlainTextEdit::textChanged, this, &FrmTessarin::TxtSrc_Change);
    connect(TxtHeight, &TextBox::KeyDown, this, &FrmTessarin::TxtHeight_KeyDown);
    connect(TxtMapWidth, &TextBox::KeyDown, this, &FrmTessarin::TxtMapWidth_KeyDown);
    connect(TxtMapHeight, &TextBox::KeyDown, this, &FrmTessarin::TxtMapHeight_KeyDown);
    connect(HSBar1, &ScrollBar::Change, this, &FrmTessarin::HSBar1_Change);
    connect(HSBar1, &ScrollBar::Scroll, this, &FrmTessarin::HSBar1_Scroll);
    connect(VSBar1, &ScrollBar::Change, this, &FrmTessarin::VSBar1_Change);
    connect(VSBar1, &ScrollBar::Scroll, this, &FrmTessarin::VSBar1_Scroll);
}

void FrmTessarin::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void FrmTessarin::SetMousePointer(Qt::CursorShape pointer)
{
    if (pointer == m_mousePointer)
        return;
    if (m_mousePointer != Qt::ArrowCursor)
        QGuiApplication::restoreOverrideCursor();
    m_mousePointer = pointer;
    if (pointer != Qt::ArrowCursor)
        QGuiApplication::setOverrideCursor(pointer);
}
