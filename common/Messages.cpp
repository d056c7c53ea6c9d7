#include "common/Messages.h"

#include <cmath>

#include "common/Environment.h"

using platform::MessageBoxRequest;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

// The five kinds of box the catalogue uses.
enum class Box { Stop, Info, Ask, AskNo, Warn };

MessageBoxRequest Make(int code, const QString& argument, Box box, const QString& title,
                       const QString& text) {
  MessageBoxRequest r;
  r.code = code;
  r.argument = argument;
  r.title = title;
  r.text = text;
  switch (box) {
    case Box::Stop:
      r.icon = MsgIcon::Stop;
      break;
    case Box::Info:
      r.icon = MsgIcon::Info;
      break;
    case Box::Ask:
    case Box::AskNo:
      r.icon = MsgIcon::Question;
      r.buttons = MsgButtons::YesNo;
      r.defaultButton = box == Box::AskNo ? MsgResult::No : MsgResult::Yes;
      break;
    case Box::Warn:
      r.icon = MsgIcon::Warning;
      r.buttons = MsgButtons::YesNo;
      r.defaultButton = MsgResult::Yes;
      break;
  }
  return r;
}

MessageBoxRequest Empty(int code, const QString& argument) {
  MessageBoxRequest r;
  r.code = code;
  r.argument = argument;
  return r;
}

// 2 to the power depth, in decimal: 4294967296 for 32 bits.
QString ColourCount(int depth) {
  if (depth >= 0 && depth < 64) return QString::number(quint64(1) << depth);
  return QString::number(std::ldexp(1.0, depth), 'f', 0);
}

const QString kBreak = QStringLiteral("\n\r");
const QString kQ = QStringLiteral("\"");

QString Quoted(const QString& a) {
  return kQ + a + kQ;
}

MessageBoxRequest ScreenRefusal(const QString& argument) {
  const Environment& env = Env();
  return Make(
      0, argument, Box::Stop, QStringLiteral("Impossível Prosseguir"),
      QStringLiteral("Os recursos do sistema são insuficientes para execução do programa.\n\r"
                     "A resolução mínima necessária é de \"640x480\". A atual é de\"") +
          QString::number(env.ScreenWidth) + QLatin1Char('x') + QString::number(env.ScreenHeight) +
          QStringLiteral("\". O número de cores mínimo necessário é de \"256\". O atual é de\"") +
          ColourCount(env.ColourDepth) + QStringLiteral("\"."));
}

MessageBoxRequest WaveBlocked(const QString& a) {
  return Make(22, a, Box::Info, QStringLiteral("Problemas"),
              QStringLiteral("Não é possível realocar o dispositivo WAVE, pois, algum aplicativo "
                             "está bloqueando o dispositivo. Continuando sem sons."));
}

MessageBoxRequest WaveFree(const QString& a) {
  return Make(29, a, Box::Info, QStringLiteral("Dispositivo Wave OK"),
              QStringLiteral("O dispositivo Wave foi desbloqueado."));
}

// Message 38 adds its second paragraph below 800 pixels. A width that is not a number (the
// callers always pass one) shows the first paragraph only instead of failing.
MessageBoxRequest RunsBetterInstalled(const QString& a) {
  QString text = QStringLiteral(
      "O Quarx CD-ROM roda melhor quando instalado no HD. O menu do botão <opções> traz um item "
      "para isso.");
  bool isNumber = false;
  const int width = a.trimmed().toInt(&isNumber);
  if (isNumber && width < 800)
    text += kBreak + QStringLiteral(
                         "Note também que os gráficos do KVR estão otimizados para resoluções de "
                         "800x600 - 1024x768.");
  return Make(38, a, Box::Info, QStringLiteral("Ganhe eficiência"), text);
}

}  // namespace

MessageBoxRequest AppMessage(int code, const QString& a) {
  const QString problems = QStringLiteral("Problemas");
  const QString attention = QStringLiteral("Atenção");
  const QString attentionBang = QStringLiteral("Atenção!");
  const QString question = QStringLiteral("Pergunta");
  const QString openInstance = QStringLiteral("Instância aberta detectada");
  switch (code) {
    case 0:
      return ScreenRefusal(a);
    case 1:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Não há dispositivo AVI disponível para operar a animação.\n\r"
                                 "Tente instalar o programa \"Video for Windows\"."));
    case 2:
      return Make(code, a, Box::Ask, QStringLiteral("Papel de Parede"),
                  QStringLiteral("Gostaria de selecionar o papel de parede recentemente salvo?"));
    case 3:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Não há dispositivo MIDI disponível para operar o audio.\n\r"
                                 "Tente instalar ou reinstalar os controladores da placa de som."));
    case 4:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("A seleção não é permitida.\n\r"
                                 "Verifique se há caracteres ilegais."));
    case 5:
      return Make(code, a, Box::Warn, attention,
                  QStringLiteral("A pasta \"") + a + QStringLiteral("\"já existe.") + kBreak +
                      QStringLiteral("Continuar?"));
    case 6:
      return Make(code, a, Box::Info, QStringLiteral("Cópia bem sucedida!"),
                  QStringLiteral("A cópia requisitada foi bem sucedida."));
    case 7:
      return Make(code, a, Box::Stop, attentionBang,
                  QStringLiteral("A pasta ") + Quoted(a) + kBreak +
                      QStringLiteral("é somente de leitura."));
    case 8:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Ocorreu um problema ao tentar-se capturar a pasta do Windows."));
    case 9:
      return Make(code, a, Box::Ask, attention,
                  QStringLiteral("A pasta escolhida não é a do Windows, portanto o arquivo não "
                                 "será reconhecido como papel de parede pelo Windows.\n\r"
                                 "Continuar mesmo assim?"));
    case 10:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Ocorreu um problema ao salvar o papel de parede."));
    case 11:
      return Make(code, a, Box::Ask, QStringLiteral("Cuidado"),
                  QStringLiteral("Há um arquivo com o mesmo nome escolhido. Continuar mesmo "
                                 "assim?"));
    case 12:
      return Make(code, a, Box::Warn, attentionBang,
                  QStringLiteral("A pasta ") + Quoted(a) + kBreak +
                      QStringLiteral("não existe ainda.") + kBreak + QStringLiteral("Continuar?"));
    case 13:
      return Make(
          code, a, Box::Stop, problems,
          QStringLiteral("A pasta ") + Quoted(a) + kBreak + QStringLiteral("não pode ser criada."));
    case 14:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Ocorreu algum problema durante a cópia."));
    case 15:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Ocorreu algum problema durante a cópia de\n\r") + Quoted(a));
    case 16:
      return Make(code, a, Box::AskNo, attention,
                  QStringLiteral("Já há um arquivo chamado ") + Quoted(a) + kBreak +
                      QStringLiteral("Apagar o arquivo atual?"));
    case 17:
      return Make(code, a, Box::Stop, attention,
                  QStringLiteral("O nome do arquivo contém mais de 255 caracteres, o que não é "
                                 "permitido."));
    case 18:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Não há recursos suficientes para executar o ") + Quoted(a) +
                      kBreak + QStringLiteral("Tente fechar outros programas em andamento."));
    case 19:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Não encontrou-se o arquivo ") + Quoted(a) + kBreak +
                      QStringLiteral("Certifique-se de que o CD é o correto."));
    case 20:
      return Make(
          code, a, Box::Stop, problems,
          QStringLiteral("O arquivo ") + Quoted(a) + QStringLiteral(" parece estar corrompido."));
    case 21:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("O arquivo ") + Quoted(a) +
                      QStringLiteral(" está sendo usado exclusivamente por outro programa."));
    case 22:
      return WaveBlocked(a);
    case 23:
      return Make(code, a, Box::AskNo, QStringLiteral("Continuar?"),
                  QStringLiteral("Fechar o Quarx CD-ROM ao rodar a demo?"));
    case 24:
      return Make(code, a, Box::Ask, QStringLiteral("Fechar o Quarx CD-ROM"),
                  QStringLiteral("Para executar a ação requisitada é necessário fechar o Quarx "
                                 "CD-ROM.\n\rContinuar?"));
    case 25:
      return Make(code, a, Box::AskNo, openInstance,
                  QStringLiteral("Parece haver uma instância aberta de ") + Quoted(a) +
                      QStringLiteral(".") + kBreak +
                      QStringLiteral("Pode-se usar ALT+TAB para chegar a ela.") + kBreak +
                      QStringLiteral("Tentar prosseguir mesmo assim?"));
    case 26:
      return Make(code, a, Box::Ask, QStringLiteral("Rodar o setup"),
                  QStringLiteral("Se o demo (\"") + a +
                      QStringLiteral("\") já foi instalado, rodar o setup?"));
    case 27:
      return Make(code, a, Box::Info, QStringLiteral("Indique a pasta"),
                  QStringLiteral("Indique, na próxima caixa, em qual pasta ") + Quoted(a) +
                      QStringLiteral(" foi instalado."));
    case 28:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Não encontrou-se o arquivo ") + Quoted(a) + kBreak +
                      QStringLiteral("Certifique-se de que o caminho está correto."));
    case 29:
      return WaveFree(a);
    case 30:
      return Make(code, a, Box::Ask, question,
                  QStringLiteral("O programa funciona direto pelo CD.\n\rContinuar?"));
    case 31:
      return Make(code, a, Box::Ask, question,
                  QStringLiteral("O programa precisa ser instalado em disco rígido.\n\r"
                                 "Continuar?"));
    case 32:
      return Make(code, a, Box::Info, openInstance,
                  QStringLiteral("Parece haver uma instância aberta de ") + Quoted(a) +
                      QStringLiteral(".") + kBreak +
                      QStringLiteral("Pode-se usar ALT+TAB para chegar a ela."));
    case 33:
      return Make(code, a, Box::Info, QStringLiteral("Suspensão"),
                  QStringLiteral("O processo foi suspendido como requisitado.\n\r"
                                 "Todos os arquivos que foram completamente processados até aqui "
                                 "estão íntegros e os que não foram apagados."));
    case 34:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("O arquivo ") + Quoted(a) +
                      QStringLiteral(" não pode ser criado.") + kBreak +
                      QStringLiteral("Ele já pode existir e estar sob uso exclusivo por algum "
                                     "outro aplicativo,") +
                      kBreak +
                      QStringLiteral("pode estar num meio protegido contra gravação, o caminho "
                                     "pode ser inválido, ou ?!"));
    case 35:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Parece ter acabado o espaço no drive ") + a.left(2) +
                      QStringLiteral(" ao copiar o arquivo ") + Quoted(a) + QStringLiteral(".") +
                      kBreak +
                      QStringLiteral("Também pode ter ocorrido apenas uma falha ao transferir os "
                                     "dados."));
    case 36:
      return Make(code, a, Box::Stop, problems, QStringLiteral("Houve erros durante a cópia."));
    case 37:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("São necessários \"") + a +
                      QStringLiteral(" kbytes\" livres de disco para copiar o programa.") + kBreak +
                      QStringLiteral("Procure escolher outro dispositivo ou conseguir mais "
                                     "espaço, pois neste dispositivo o espaço é insuficiente."));
    case 38:
      return RunsBetterInstalled(a);
    case 39:
      return Make(code, a, Box::Stop, problems,
                  QStringLiteral("Ocorreu algum problema com ") + Quoted(a) + QStringLiteral("."));
    case 40:
      return Make(code, a, Box::Ask, QStringLiteral("Versão desatualizada"),
                  QStringLiteral("O Acrobat registrado pode não ler os arquivos.\n\r"
                                 "Tentar utilizar a versão encontrada mesmo assim?"));
    case 41:
      return Make(code, a, Box::Ask, QStringLiteral("Programa não encontrado"),
                  QStringLiteral("Não encontrou-se o Acrobat Reader, ou equivalente, no seu "
                                 "sistema. Ele é necessário para a leitura dos documentos "
                                 "eletrônicos que fazem parte deste CD-ROM.\n\r"
                                 "Você gostaria de instalá-lo agora?"));
    case 42:
      return Make(code, a, Box::Ask, QStringLiteral("Instalar Adobe Acrobat 3"),
                  QStringLiteral("Gostaria de instalar o \"Acrobat 3.01 w/Search\" agora?"));
    default:
      return Empty(code, a);  // unknown codes (negative ones too) show an empty box with OK
  }
}

MessageBoxRequest ExplorerMessage(int code, const QString& a) {
  switch (code) {
    case 0:
      return ScreenRefusal(a);
    case 4:
      return Make(code, a, Box::Stop, QStringLiteral("Problemas"),
                  QStringLiteral("Não foi possível executar o arquivo: \n\r\"") + a +
                      QStringLiteral("\".") + kBreak +
                      QStringLiteral("Os recursos do sistema podem estar bloqueados; o arquivo "
                                     "pode estar danificado;o formato de arquivo não corresponde "
                                     "ao da extensão."));
    case 22:
      return WaveBlocked(a);
    case 29:
      return WaveFree(a);
    default:
      return Empty(code, a);
  }
}

MsgResult ShowAppMessage(int code, const QString& argument) {
  return platform::Dialogs().ShowMessage(AppMessage(code, argument));
}

MsgResult ShowExplorerMessage(int code, const QString& argument) {
  return platform::Dialogs().ShowMessage(ExplorerMessage(code, argument));
}
