#include "FrmTemplateCadastro.h"
#include "Input1.h"
#include "WInputBox.h"
#include "fInput.h"

#include "ComponentsTestDb.h"
#include "testing/UserInput.h"
#include "testing/VirtualXServer.h"

#include "platform/ui/Application.h"
#include "platform/ui/DbGrid.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <functional>

using namespace vorta::testing;
using vorta::ui::mrCancel;
using vorta::ui::mrOk;

namespace {

// Plays the user of the next modal form.
class ModalUser {
public:
    explicit ModalUser(std::function<void(vorta::ui::Form&)> play)
    {
        vorta::ui::setModalHook([play = std::move(play)](vorta::ui::Form& shown) {
            user::activate(&shown);
            play(shown);
            return int(vorta::ui::mrNone);
        });
    }
    ~ModalUser() { vorta::ui::setModalHook(nullptr); }
};

int inputBoxesAlive()
{
    int n = 0;
    for (vorta::Component* c : vorta::Application::instance()->components())
        if (dynamic_cast<TWInputBox*>(c))
            ++n;
    return n;
}

TEST(WInputTest, ReturnsWhatWasTypedHoweverTheBoxCloses)
{
    struct Case {
        const char* way;
        std::function<void()> close;
    };
    const Case cases[] = {
        {"Enter", [] { user::enter(); }},
        {"Alt+O", [] { user::alt(QLatin1Char('O')); }},
        {"the window's close button", [] { static_cast<QWidget*>(user::focused()->window())->close(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        TWInputBox* seen = nullptr;
        ModalUser player([&](vorta::ui::Form& shown) {
            seen = dynamic_cast<TWInputBox*>(&shown);
            ASSERT_TRUE(seen);
            EXPECT_EQ(QStringLiteral("Senha do arquivo"), seen->caption());
            EXPECT_EQ(QStringLiteral("Informe a senha"), seen->Label1->caption());
            EXPECT_EQ(QStringLiteral("do arquivo de remessa:"), seen->Label2->caption());
            EXPECT_EQ(seen->Edit1, user::focused());
            EXPECT_EQ(QString(), seen->Edit1->text());
            user::type(QStringLiteral("ação 1"));
            c.close();
        });
        EXPECT_EQ(QStringLiteral("ação 1"),
                  WInput(QStringLiteral("Senha do arquivo"), QStringLiteral("Informe a senha"),
                         QStringLiteral("do arquivo de remessa:")));
        EXPECT_TRUE(seen);
        // Each call has its box, freed once read.
        EXPECT_EQ(0, inputBoxesAlive());
    }
}

TEST(WInputTest, BoxIsLaidOutAsDesigned)
{
    auto* box = vorta::create<TWInputBox>(vorta::Application::instance());
    EXPECT_EQ(QStringLiteral("WInputBox"), box->caption());
    EXPECT_EQ(vorta::ui::BorderStyle::Dialog, box->borderStyle());
    EXPECT_EQ(QSize(285, 127), box->size());
    EXPECT_EQ(QPoint(5, 5), box->Label1->pos());
    EXPECT_EQ(QPoint(5, 25), box->Label2->pos());
    EXPECT_EQ(QRect(8, 40, 256, 21), box->Edit1->geometry());
    EXPECT_EQ(QStringLiteral("&Ok"), box->Button1->caption());
    EXPECT_TRUE(box->Button1->isDefault());
    EXPECT_EQ(mrOk, box->Button1->modalResult);
    vorta::Component::free(box);
}

TEST(Input1Test, OkStoresTheMaskedTextAndCancelKeepsTheValue)
{
    struct Case {
        const char* way;
        const char* mask;
        const char* typed;
        std::function<void(TInput1*)> close;
        int result;
        const char* valor;
    };
    const Case cases[] = {
        {"Enter", "99/99/9999;1;_", "31122026", [](TInput1*) { user::enter(); }, mrOk, "31/12/2026"},
        {"OK clicked", "", "Gado", [](TInput1* f) { user::click(f->BitBtn1); }, mrOk, "Gado"},
        {"Escape", "", "Gado", [](TInput1*) { user::escape(); }, mrCancel, "antes"},
        {"Cancelar clicked", "", "Gado", [](TInput1* f) { user::click(f->BitBtn2); }, mrCancel, "antes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        auto* f = vorta::createInto<TInput1>(Input1, vorta::Application::instance());
        EXPECT_EQ(vorta::ui::BorderStyle::None, f->borderStyle());
        EXPECT_EQ(QSize(260, 108), f->size());
        EXPECT_EQ(vorta::ui::FormPosition::ScreenCenter, f->position);
        EXPECT_TRUE(f->Label1->wordWrap());
        EXPECT_EQ(QStringLiteral("Query1"), f->findComponent(QStringLiteral("Query1"))->name());
        f->Label1->setCaption(QStringLiteral("Data do abate:"));
        f->MaskEdit1->setEditMask(QString::fromLatin1(c.mask));
        f->Valor = QStringLiteral("antes");
        bool focused = false;
        {
            ModalUser player([&](vorta::ui::Form&) {
                focused = user::focused() == f->MaskEdit1;
                user::type(QString::fromLatin1(c.typed));
                c.close(f);
            });
            EXPECT_EQ(c.result, f->showModal());
        }
        EXPECT_TRUE(focused);
        EXPECT_EQ(QString::fromUtf8(c.valor), f->Valor);
        vorta::Component::free(f);
    }
}

class FilterBox : public brano70::testsupport::PeopleForm {
protected:
    void SetUp() override
    {
        PeopleForm::SetUp();
        grid = new vorta::ui::DBGrid(form, QStringLiteral("DBGrid1"));
        grid->setAlign(vorta::ui::Align::Client);
        grid->setDataSource(source);
        grid->addColumn(QStringLiteral("Id"));
        grid->addColumn(QStringLiteral("Nome"));
        pessoa->open();
        user::activate(form);
        box = vorta::createInto<TfInput>(fInput, vorta::Application::instance());
    }
    void TearDown() override
    {
        vorta::Component::free(box);
        PeopleForm::TearDown();
    }
    vorta::ui::DBGrid* grid = nullptr;
    TfInput* box = nullptr;
};

// Each letter searches from the dataset's first record for a name that begins with
// the text; a text no name begins with leaves the record where it was.
TEST_F(FilterBox, LocatesAsTheUserTypesAndStaysPutOnAMiss)
{
    EXPECT_EQ(QStringLiteral("Filtrar"), box->caption());
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(box->keyPreview);
    EXPECT_EQ(QSize(260, 72), box->size());
    EXPECT_FALSE(box->BitBtn1->isVisibleTo(box));
    EXPECT_FALSE(box->BitBtn2->isVisibleTo(box));
    box->Coluna = TColumnRef{grid, 1};
    box->Label1->setCaption(QStringLiteral("Nome:"));
    QStringList found;
    ModalUser player([&](vorta::ui::Form&) {
        EXPECT_EQ(box->MaskEdit1, user::focused());
        for (const QString& letter : {QStringLiteral("c"), QStringLiteral("A"), QStringLiteral("i"),
                                      QStringLiteral("x")}) {
            user::type(letter);
            found << current(QStringLiteral("Nome"));
        }
        user::key(Qt::Key_Backspace);
        user::key(Qt::Key_Backspace);
        found << current(QStringLiteral("Nome"));
        user::enter();
    });
    box->showModal();
    // In the table's own order Carla comes before Caio.
    EXPECT_EQ(QStringList({QStringLiteral("Carla"), QStringLiteral("Carla"), QStringLiteral("Caio"),
                           QStringLiteral("Caio"), QStringLiteral("Carla")}),
              found);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(QStringLiteral("Carla"), current(QStringLiteral("Nome")));
    EXPECT_EQ(1, grid->currentRow());
}

// Without a column the box searches nothing.
TEST_F(FilterBox, WithoutAColumnTypingMovesNothing)
{
    ASSERT_TRUE(pessoa->locate(QStringLiteral("Id"), 4));
    ModalUser player([&](vorta::ui::Form&) {
        user::type(QStringLiteral("Ana"));
        user::enter();
    });
    box->showModal();
    EXPECT_EQ(QStringLiteral("Davi"), current(QStringLiteral("Nome")));
    // A grid without columns of its own names its fields in order.
    auto* plain = new vorta::ui::DBGrid(form);
    plain->setDataSource(source);
    EXPECT_EQ(QStringLiteral("Nome"), (TColumnRef{plain, 1}.FieldName()));
    EXPECT_EQ(QString(), (TColumnRef{plain, 9}.FieldName()));
}

TEST(FrmTemplateCadastroTest, TemplateHasItsPartsAndSairCloses)
{
    auto* f = vorta::createInto<TFrmTemplateCadastro>(FrmTemplateCadastro, vorta::Application::instance());
    EXPECT_EQ(QPoint(0, 0), f->pos());
    EXPECT_EQ(QStringLiteral("Formulário de Cadastro Padrão"), f->caption());
    EXPECT_EQ(QSize(626, 538), f->size());
    EXPECT_FALSE(f->windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(QStringLiteral("&Sair"), f->BtnSair->caption());
    EXPECT_EQ(QStringLiteral("Sair"), f->BtnSair->hint());
    EXPECT_EQ(QStringLiteral("A lista abaixo contém os erros encontrados nesta documento. Dê um Click na mensagem "
                             "de erro para ir direto ao campo que está com problemas. "),
              f->Label2->caption());
    for (const char* name : {"Panel1", "BtnSair", "ScrollBox1", "Panel2", "Label2", "ListBox1"})
        EXPECT_TRUE(f->findComponent(QString::fromLatin1(name))) << name;
    user::activate(f);
    EXPECT_EQ(30, f->Panel1->height());
    EXPECT_EQ(124, f->Panel2->height());
    EXPECT_EQ(83, f->ListBox1->height());
    EXPECT_NEAR(f->Panel2->height(), f->ListBox1->geometry().bottom() + 1, 2);
    // The button stands at the right end of its panel.
    EXPECT_GT(f->BtnSair->x(), f->Panel1->width() / 2);
    EXPECT_EQ(f->ScrollBox1->y(), f->Panel1->height());
    f->ListBox1->setItems({QStringLiteral("Campo Nome não informado")});
    user::alt(QLatin1Char('S'));
    EXPECT_FALSE(f->isVisible());
    vorta::Component::free(f);
}

QString pictureFolder()
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    return folder;
}

QString pictureSuffix()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen") ? QString()
                                                                         : QLatin1Char('_') + QGuiApplication::platformName();
}

const char* const kPictures[] = {"WInputBox", "Input1", "fInput", "FrmTemplateCadastro"};

TEST(InputFormPictures, PicturesOfTheForms)
{
    const QString folder = pictureFolder();
    auto save = [&](vorta::ui::Form* f, const char* name) {
        f->show();
        user::activate(f);
        const QImage image = f->grab().toImage();
        EXPECT_TRUE(image.save(folder + QStringLiteral("/%1%2.png").arg(QString::fromLatin1(name), pictureSuffix())));
        f->hide();
        vorta::Component::free(f);
    };
    auto* w = vorta::create<TWInputBox>(vorta::Application::instance());
    w->setCaption(QStringLiteral("Senha"));
    w->Label1->setCaption(QStringLiteral("Informe a senha"));
    w->Label2->setCaption(QStringLiteral("do arquivo de remessa:"));
    save(w, kPictures[0]);
    auto* i = vorta::create<TInput1>(vorta::Application::instance());
    i->Label1->setCaption(QStringLiteral("Data do abate:"));
    i->MaskEdit1->setEditMask(QStringLiteral("99/99/9999;1;_"));
    save(i, kPictures[1]);
    auto* fi = vorta::create<TfInput>(vorta::Application::instance());
    fi->Label1->setCaption(QStringLiteral("Nome:"));
    save(fi, kPictures[2]);
    auto* t = vorta::create<TFrmTemplateCadastro>(vorta::Application::instance());
    t->ListBox1->setItems({QStringLiteral("Campo Nome não informado"), QStringLiteral("CPF inválido")});
    save(t, kPictures[3]);
}

TEST(InputFormPictures, UnderAVirtualXServer)
{
    if (onRealWindowSystem())
        GTEST_SKIP() << "already the run under the X server";
    QStringList pictures;
    for (const char* name : kPictures)
        pictures << pictureFolder() + QStringLiteral("/%1_xcb.png").arg(QString::fromLatin1(name));
    const VirtualXRun run = rerunUnderVirtualXServer(QStringLiteral("InputFormPictures.PicturesOfTheForms"), pictures);
    if (!run.available)
        GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_TRUE(run.finished) << "the run under the X server did not end";
    ASSERT_EQ(0, run.exitCode) << run.output.toStdString();
    const QSize sizes[] = {{285, 127}, {260, 108}, {260, 72}, {626, 538}};
    for (int k = 0; k < pictures.size(); ++k)
        EXPECT_EQ(sizes[k], QImage(pictures.at(k)).size()) << pictures.at(k).toStdString();
}

} // namespace
