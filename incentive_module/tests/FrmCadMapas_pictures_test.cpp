// Pictures of the map register's two pages and of the slaughterhouse list, and a check
// that every text shows whole and every control lies inside its parent.
#include "CadMapasTestSupport.h"
#include "FrmSelMapas.h"

#include "testing/VirtualXServer.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

using namespace zir_test;

namespace {

// The shown controls whose text is cut or that stick out of their parent.
QStringList problemasDeLayout(QWidget* top)
{
    QStringList out;
    const QList<QWidget*> all = top->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (!w->isVisibleTo(top) || w->isWindow())
            continue;
        const QString nome = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                        : w->objectName();
        QString texto;
        int espaco = w->width();
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->wordWrap() && l->pixmap().isNull()) {
            texto = l->text();
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            texto = b->text().remove(QLatin1Char('&'));
            espaco -= b->icon().isNull() ? 8 : 8 + b->iconSize().width();
            if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w))
                espaco -= 20;
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            texto = g->title();
            espaco -= 16;
        }
        if (!texto.isEmpty() && w->fontMetrics().horizontalAdvance(texto) > espaco)
            out << nome + QStringLiteral(": \"") + texto + QStringLiteral("\" cut");
        QWidget* p = w->parentWidget();
        // Scroll contents and the inside of item views lay themselves out.
        if (p && !qobject_cast<QAbstractScrollArea*>(p->parentWidget()) && !qobject_cast<QAbstractScrollArea*>(p)
            && !p->rect().contains(w->geometry()))
            out << nome + QStringLiteral(" outside ") + p->objectName();
    }
    return out;
}

QString pasta()
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    return folder;
}

QString sufixo()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen") ? QString()
                                                                          : QLatin1Char('_') + QGuiApplication::platformName();
}

} // namespace

class MapasPictures : public CadMapasFixture {};

TEST_F(MapasPictures, BothPagesOfAMapAndTheListLaidOutWhole)
{
    TCadMapas* f = abre();
    inclui(f);
    user::type(QStringLiteral("0102"));
    user::tab();
    user::key(Qt::Key_Down);
    animal("JD", "C", "3", "250", "B");
    animal("J2", "SC", "2", "230", "R");
    animal("A", "C", "3", "300", "A");
    user::escape();
    EXPECT_EQ(QStringList(), problemasDeLayout(f));
    EXPECT_TRUE(f->grab().toImage().save(pasta() + QStringLiteral("/CadMapas_animais%1.png").arg(sufixo())));
    pagina(f, 1);
    user::click(f->btVeterinario);
    EXPECT_EQ(QStringList(), problemasDeLayout(f));
    EXPECT_TRUE(f->grab().toImage().save(pasta() + QStringLiteral("/CadMapas_resumo%1.png").arg(sufixo())));
    user::alt(QLatin1Char('C'));

    TSelMapas* s = vorta::createInto<TSelMapas>(SelMapas, vorta::Application::instance());
    s->show();
    EXPECT_EQ(QStringList(), problemasDeLayout(s));
    EXPECT_TRUE(s->grab().toImage().save(pasta() + QStringLiteral("/SelMapas%1.png").arg(sufixo())));
    vorta::Component::free(SelMapas);
}

// The same pictures drawn by a real X server (a virtual one), for a person to look at.
TEST(MapasPicturesX, UnderAVirtualXServer)
{
    if (vorta::testing::onRealWindowSystem())
        GTEST_SKIP() << "already the run under the X server";
    const QStringList pictures{pasta() + QStringLiteral("/CadMapas_animais_xcb.png"),
                               pasta() + QStringLiteral("/CadMapas_resumo_xcb.png"),
                               pasta() + QStringLiteral("/SelMapas_xcb.png")};
    const vorta::testing::VirtualXRun run = vorta::testing::rerunUnderVirtualXServer(
        QStringLiteral("MapasPictures.BothPagesOfAMapAndTheListLaidOutWhole"), pictures);
    if (!run.available)
        GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_TRUE(run.finished) << "the run under the X server did not end";
    ASSERT_EQ(0, run.exitCode) << run.output.toStdString();
    for (const QString& p : pictures)
        EXPECT_FALSE(QImage(p).isNull()) << p.toStdString();
}
