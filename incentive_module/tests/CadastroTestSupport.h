#pragma once

#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/ui/Controls.h"
#include "testing/LayoutCheck.h"
#include "testing/Screenshots.h"
#include "testing/VirtualXServer.h"

#include <QImage>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <initializer_list>

// What the register forms' tests share: a message catalogue whose texts name their
// numbers, clicks on radio items, and the pictures of a form's pages.
namespace zir_test {

// The catalogue of the data folder holds only these messages, each "M" + its number.
inline void catalogoDeTeste(const QString& dados, std::initializer_list<int> numeros)
{
    QString sql = QStringLiteral("DELETE FROM mensagem; INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES ");
    bool primeiro = true;
    for (int n : numeros) {
        sql += QStringLiteral("%1(%2, 'M%2')").arg(primeiro ? QString() : QStringLiteral(",")).arg(n);
        primeiro = false;
    }
    vorta::db::executeScript(dados, sql);
}

// The text a numbered message shows with catalogoDeTeste.
inline QString mensagem(int n)
{
    return QStringLiteral("%1 - M%1").arg(n);
}

// The row that sql (with its parameter :chave) reads back, each column as text by its
// name; empty when there is none.
inline QVariantMap linhaGravada(vorta::db::Database* db, const QString& sql, const QVariant& chave)
{
    vorta::db::Query q;
    q.setDatabase(db);
    q.setSql(sql);
    q.paramByName(QStringLiteral("chave"))->setValue(chave);
    q.open();
    QVariantMap out;
    if (!q.isEmpty())
        for (int i = 0; i < q.fieldCount(); ++i)
            out[q.fields(i)->fieldName()] = q.fields(i)->asString();
    return out;
}

inline int contaLinhas(vorta::db::Database* db, const QString& tabela)
{
    vorta::db::Query q;
    q.setDatabase(db);
    q.setSql(QStringLiteral("select count(*) n from %1").arg(tabela));
    q.open();
    return int(q.fieldByName(QStringLiteral("n"))->asInteger());
}

// Clicks an item's circle, as the user does (a short caption leaves the middle of the
// item unclickable).
inline void clicaItem(vorta::ui::RadioGroup* grupo, int item)
{
    QWidget* b = grupo->button(item);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(6, b->height() / 2));
    ASSERT_EQ(item, grupo->itemIndex());
}

// The form as it shows now, checked for unreadable or unreachable controls and kept as
// <unidade>_<pagina>.png (with the window system's name when not headless).
inline QImage fotografa(QWidget* form, const QString& unidade, const QString& pagina)
{
    EXPECT_EQ(vorta::testing::layoutOffenders(form).join(QLatin1Char('\n')).toStdString(), "") << pagina.toStdString();
    const QImage foto = form->grab().toImage();
    EXPECT_TRUE(foto.save(vorta::testing::screenshotFolder()
                          + QStringLiteral("/%1_%2%3.png").arg(unidade, pagina, vorta::testing::screenshotSuffix())));
    return foto;
}

// Runs the test named by filtro again under a virtual X server and checks that it
// passed and drew the grid and detail pictures of the unit.
inline void fotografaSobXVirtual(const QString& filtro, const QString& unidade)
{
    if (vorta::testing::onRealWindowSystem())
        GTEST_SKIP() << "already the run under the X server";
    QStringList fotos;
    for (const char* pagina : {"grid", "detail"})
        fotos << vorta::testing::screenshotFolder() + QStringLiteral("/%1_%2_xcb.png").arg(unidade, QLatin1String(pagina));
    const vorta::testing::VirtualXRun run = vorta::testing::rerunUnderVirtualXServer(filtro, fotos);
    if (!run.available)
        GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_TRUE(run.finished) << "the run under the X server did not end";
    ASSERT_EQ(0, run.exitCode) << run.output.toStdString();
    for (const QString& p : fotos)
        EXPECT_FALSE(QImage(p).isNull()) << p.toStdString();
}

} // namespace zir_test
