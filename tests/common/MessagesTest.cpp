// Every box of both catalogues, letter for letter: the texts are the programs' own and users
// (and the disc's documentation) know them.

#include <gtest/gtest.h>

#include "common/Environment.h"
#include "common/Messages.h"

using platform::MessageBoxRequest;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

enum Kind { Stop, Info, Ask, AskNo, Warn };

struct Expected {
  int code;
  const char* title;
  const char* text;  // "@" stands for the argument
  Kind kind;
};

// Argument used below; "@" in the texts is replaced by it.
const QString kArg = QStringLiteral("D:\\DEMOS\\X.EXE");

// clang-format off
const Expected kCatalogue[] = {
  {1, "Problemas", "Não há dispositivo AVI disponível para operar a animação.\n\rTente instalar o programa \"Video for Windows\".", Stop},
  {2, "Papel de Parede", "Gostaria de selecionar o papel de parede recentemente salvo?", Ask},
  {3, "Problemas", "Não há dispositivo MIDI disponível para operar o audio.\n\rTente instalar ou reinstalar os controladores da placa de som.", Stop},
  {4, "Problemas", "A seleção não é permitida.\n\rVerifique se há caracteres ilegais.", Stop},
  {5, "Atenção", "A pasta \"@\"já existe.\n\rContinuar?", Warn},
  {6, "Cópia bem sucedida!", "A cópia requisitada foi bem sucedida.", Info},
  {7, "Atenção!", "A pasta \"@\"\n\ré somente de leitura.", Stop},
  {8, "Problemas", "Ocorreu um problema ao tentar-se capturar a pasta do Windows.", Stop},
  {9, "Atenção", "A pasta escolhida não é a do Windows, portanto o arquivo não será reconhecido como papel de parede pelo Windows.\n\rContinuar mesmo assim?", Ask},
  {10, "Problemas", "Ocorreu um problema ao salvar o papel de parede.", Stop},
  {11, "Cuidado", "Há um arquivo com o mesmo nome escolhido. Continuar mesmo assim?", Ask},
  {12, "Atenção!", "A pasta \"@\"\n\rnão existe ainda.\n\rContinuar?", Warn},
  {13, "Problemas", "A pasta \"@\"\n\rnão pode ser criada.", Stop},
  {14, "Problemas", "Ocorreu algum problema durante a cópia.", Stop},
  {15, "Problemas", "Ocorreu algum problema durante a cópia de\n\r\"@\"", Stop},
  {16, "Atenção", "Já há um arquivo chamado \"@\"\n\rApagar o arquivo atual?", AskNo},
  {17, "Atenção", "O nome do arquivo contém mais de 255 caracteres, o que não é permitido.", Stop},
  {18, "Problemas", "Não há recursos suficientes para executar o \"@\"\n\rTente fechar outros programas em andamento.", Stop},
  {19, "Problemas", "Não encontrou-se o arquivo \"@\"\n\rCertifique-se de que o CD é o correto.", Stop},
  {20, "Problemas", "O arquivo \"@\" parece estar corrompido.", Stop},
  {21, "Problemas", "O arquivo \"@\" está sendo usado exclusivamente por outro programa.", Stop},
  {22, "Problemas", "Não é possível realocar o dispositivo WAVE, pois, algum aplicativo está bloqueando o dispositivo. Continuando sem sons.", Info},
  {23, "Continuar?", "Fechar o Quarx CD-ROM ao rodar a demo?", AskNo},
  {24, "Fechar o Quarx CD-ROM", "Para executar a ação requisitada é necessário fechar o Quarx CD-ROM.\n\rContinuar?", Ask},
  {25, "Instância aberta detectada", "Parece haver uma instância aberta de \"@\".\n\rPode-se usar ALT+TAB para chegar a ela.\n\rTentar prosseguir mesmo assim?", AskNo},
  {26, "Rodar o setup", "Se o demo (\"@\") já foi instalado, rodar o setup?", Ask},
  {27, "Indique a pasta", "Indique, na próxima caixa, em qual pasta \"@\" foi instalado.", Info},
  {28, "Problemas", "Não encontrou-se o arquivo \"@\"\n\rCertifique-se de que o caminho está correto.", Stop},
  {29, "Dispositivo Wave OK", "O dispositivo Wave foi desbloqueado.", Info},
  {30, "Pergunta", "O programa funciona direto pelo CD.\n\rContinuar?", Ask},
  {31, "Pergunta", "O programa precisa ser instalado em disco rígido.\n\rContinuar?", Ask},
  {32, "Instância aberta detectada", "Parece haver uma instância aberta de \"@\".\n\rPode-se usar ALT+TAB para chegar a ela.", Info},
  {33, "Suspensão", "O processo foi suspendido como requisitado.\n\rTodos os arquivos que foram completamente processados até aqui estão íntegros e os que não foram apagados.", Info},
  {34, "Problemas", "O arquivo \"@\" não pode ser criado.\n\rEle já pode existir e estar sob uso exclusivo por algum outro aplicativo,\n\rpode estar num meio protegido contra gravação, o caminho pode ser inválido, ou ?!", Stop},
  {35, "Problemas", "Parece ter acabado o espaço no drive D: ao copiar o arquivo \"@\".\n\rTambém pode ter ocorrido apenas uma falha ao transferir os dados.", Stop},
  {36, "Problemas", "Houve erros durante a cópia.", Stop},
  {37, "Problemas", "São necessários \"@ kbytes\" livres de disco para copiar o programa.\n\rProcure escolher outro dispositivo ou conseguir mais espaço, pois neste dispositivo o espaço é insuficiente.", Stop},
  {39, "Problemas", "Ocorreu algum problema com \"@\".", Stop},
  {40, "Versão desatualizada", "O Acrobat registrado pode não ler os arquivos.\n\rTentar utilizar a versão encontrada mesmo assim?", Ask},
  {41, "Programa não encontrado", "Não encontrou-se o Acrobat Reader, ou equivalente, no seu sistema. Ele é necessário para a leitura dos documentos eletrônicos que fazem parte deste CD-ROM.\n\rVocê gostaria de instalá-lo agora?", Ask},
  {42, "Instalar Adobe Acrobat 3", "Gostaria de instalar o \"Acrobat 3.01 w/Search\" agora?", Ask},
};
// clang-format on

void ExpectBox(const MessageBoxRequest& box, const Expected& e, const QString& arg) {
  SCOPED_TRACE(e.code);
  EXPECT_EQ(box.code, e.code);
  EXPECT_EQ(box.argument, arg);
  EXPECT_EQ(box.title, QString::fromUtf8(e.title));
  EXPECT_EQ(box.text, QString::fromUtf8(e.text).replace("@", arg));
  switch (e.kind) {
    case Stop:
    case Info:
      EXPECT_EQ(box.icon, e.kind == Stop ? MsgIcon::Stop : MsgIcon::Info);
      EXPECT_EQ(box.buttons, MsgButtons::Ok);
      break;
    case Ask:
    case AskNo:
    case Warn:
      EXPECT_EQ(box.icon, e.kind == Warn ? MsgIcon::Warning : MsgIcon::Question);
      EXPECT_EQ(box.buttons, MsgButtons::YesNo);
      EXPECT_EQ(box.defaultButton, e.kind == AskNo ? MsgResult::No : MsgResult::Yes);
      break;
  }
}

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = Env(); }
  void TearDown() override { Env() = saved_; }
  Environment saved_;
};

TEST_F(MessagesTest, NavigatorCatalogueTextsAndBoxes) {
  for (const Expected& e : kCatalogue) ExpectBox(AppMessage(e.code, kArg), e, kArg);
}

TEST_F(MessagesTest, ScreenRefusalNamesTheScreenAndItsColours) {
  Env().ScreenWidth = 600;
  Env().ScreenHeight = 400;
  Env().ColourDepth = 32;
  const Expected e{0, "Impossível Prosseguir",
                   "Os recursos do sistema são insuficientes para execução do programa.\n\r"
                   "A resolução mínima necessária é de \"640x480\". A atual é de\"600x400\". "
                   "O número de cores mínimo necessário é de \"256\". O atual é de\"4294967296\".",
                   Stop};
  ExpectBox(AppMessage(0, ""), e, "");
  ExpectBox(ExplorerMessage(0, ""), e, "");
  Env().ColourDepth = 4;
  EXPECT_TRUE(AppMessage(0, "").text.endsWith(QString::fromUtf8("O atual é de\"16\".")));
}

TEST_F(MessagesTest, SecondParagraphOfMessage38BelowEightHundred) {
  const char* first =
      "O Quarx CD-ROM roda melhor quando instalado no HD. O menu do botão "
      "<opções> traz um item para isso.";
  const QString second = QString::fromUtf8(
      "\n\rNote também que os gráficos do KVR estão otimizados para resoluções de "
      "800x600 - 1024x768.");
  ExpectBox(AppMessage(38, "800"), {38, "Ganhe eficiência", first, Info}, "800");
  EXPECT_EQ(AppMessage(38, "640").text, QString::fromUtf8(first) + second);
  EXPECT_EQ(AppMessage(38, "799").text, QString::fromUtf8(first) + second);
  EXPECT_EQ(AppMessage(38, "1024").text, QString::fromUtf8(first));
  EXPECT_EQ(AppMessage(38, "wide").text, QString::fromUtf8(first));  // not a number
}

TEST_F(MessagesTest, DriveOfMessage35IsTheFirstTwoCharacters) {
  EXPECT_TRUE(
      AppMessage(35, "E:\\X")
          .text.startsWith(QString::fromUtf8("Parece ter acabado o espaço no drive E: ao copiar")));
  EXPECT_TRUE(AppMessage(35, "E").text.startsWith(
      QString::fromUtf8("Parece ter acabado o espaço no drive E ao copiar o arquivo \"E\".")));
}

TEST_F(MessagesTest, UnknownCodesShowAnEmptyOkBox) {
  for (int code : {43, 100, -1}) {
    const MessageBoxRequest box = AppMessage(code, "x");
    EXPECT_TRUE(box.title.isEmpty());
    EXPECT_TRUE(box.text.isEmpty());
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
  }
  EXPECT_TRUE(ExplorerMessage(5, "x").text.isEmpty());
  EXPECT_TRUE(ExplorerMessage(38, "640").text.isEmpty());
}

TEST_F(MessagesTest, ExplorerCatalogue) {
  const QString arg = QStringLiteral("C:\\Fotos\\praia.jpg");
  ExpectBox(ExplorerMessage(4, arg),
            {4, "Problemas",
             "Não foi possível executar o arquivo: \n\r\"@\".\n\rOs recursos do sistema podem "
             "estar bloqueados; o arquivo pode estar danificado;o formato de arquivo não "
             "corresponde ao da extensão.",
             Stop},
            arg);
  for (const Expected& e : kCatalogue)
    if (e.code == 22 || e.code == 29) ExpectBox(ExplorerMessage(e.code, arg), e, arg);
}

TEST_F(MessagesTest, ShowGoesThroughTheDialogService) {
  platform::ScopedScriptedDialogs dialogs;
  dialogs->QueueMessageAnswer(MsgResult::Yes);
  EXPECT_EQ(ShowAppMessage(23, "x"), MsgResult::Yes);
  EXPECT_EQ(ShowAppMessage(23, "x"), MsgResult::No);  // default button
  EXPECT_EQ(ShowExplorerMessage(4, "y"), MsgResult::Ok);
  ASSERT_EQ(dialogs->Messages().size(), 3u);
  EXPECT_EQ(dialogs->Messages()[0].code, 23);
  EXPECT_EQ(dialogs->Messages()[2].argument, "y");
  EXPECT_EQ(dialogs->Messages()[2].title, "Problemas");
}

}  // namespace
