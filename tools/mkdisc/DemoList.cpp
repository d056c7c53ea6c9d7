// The sample disc's demos: invented programs whose entries cover every variant the navigator
// reads (commands, flags, instruction markers, picture sets).

#include "tools/mkdisc/Demos.h"

namespace demos {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString Paragraphs(std::initializer_list<const char*> parts) {
  QStringList list;
  for (const char* p : parts) list << QString::fromUtf8(p);
  return list.join(kCrLf);
}

const char* kInstall =
    "Para instalar, clique no botão Instalar e siga as instruções do programa de instalação. "
    "São necessários cerca de 20 MB livres no disco rígido.";
const char* kRequisitos =
    "Requisitos mínimos: Pentium 100 MHz, 16 MB de memória, placa de vídeo SVGA com 256 cores, "
    "placa de som compatível e unidade de CD-ROM de quatro velocidades.";
const char* kVersao =
    "Esta é uma versão de demonstração: algumas fases e opções estão bloqueadas. A versão "
    "completa pode ser encontrada nas melhores lojas do ramo.";

Demo Game(const char* file, const char* title, const char* subtitle, const char* folder,
          const char* discFolder, std::initializer_list<const char*> text) {
  Demo d;
  d.DemFile = QString::fromUtf8(file);
  d.Category = 0;
  d.Title = QString::fromUtf8(title);
  d.Subtitle = QString::fromUtf8(subtitle);
  d.Description = Paragraphs(text);
  const QString f = QString::fromUtf8(folder);
  d.Folder = "Jogos\\" + f;
  d.MainCommand = "//95 Jogos\\" + f + "\\SETUP.EXE //31 Jogos\\" + f + "\\INST31.EXE";
  d.DirectCommand = "Jogos\\" + f + "\\" + f.toUpper() + ".EXE";
  const QString disc = "Demos/JOGOS/" + QString::fromUtf8(discFolder) + "/";
  d.Programs = {disc + "SETUP.EXE", disc + "inst31.exe", disc + f.toUpper() + ".EXE"};
  d.HowTo = "//miJogos Quarx\\" + f;
  return d;
}

}  // namespace

std::vector<Demo> All() {
  std::vector<Demo> list;

  // Games: the full category (19 entries). File names differ in letter case, so that sorting
  // case-insensitively gives another order than sorting bytes.
  {
    Demo d =
        Game("Asteroid.dem", "Asteróides Rebeldes", "Ação espacial em 3D", "Asteroid", "ASTEROID",
             {"Pilote uma nave de combate através de um cinturão de asteróides que insistem "
              "em mudar de rumo. Cada fase traz novos inimigos, armas e segredos.",
              "Os gráficos em 3D com texturas e iluminação colorida fazem deste um dos "
              "jogos de ação mais bonitos do ano.",
              kRequisitos, kInstall});
    list.push_back(d);
  }
  {
    Demo d =
        Game("bolha.dem", "Bolha Mágica", "Quebra-cabeça para toda a família", "Bolha", "BOLHA",
             {"Junte bolhas da mesma cor para estourá-las antes que elas cheguem ao chão. "
              "Simples de aprender, difícil de largar.",
              kVersao});
    d.Screenshots = 1;
    d.RunsFromCD = 1;
    d.DirectCommand = "none";
    d.MainCommand = "Jogos\\Bolha\\BOLHA.EXE";
    d.Programs = {"Demos/JOGOS/BOLHA/BOLHA.EXE"};
    d.HowTo = "//dk";
    list.push_back(d);
  }
  {
    Demo d = Game("CORRIDA.DEM", "Corrida Noturna 3D", "Velocidade máxima nas ruas da cidade",
                  "Corrida", "CORRIDA",
                  {"Corra pelas avenidas iluminadas de uma metrópole à noite, fuja da polícia e "
                   "conquiste os carros mais rápidos do campeonato.",
                   "São doze pistas, seis carros e um modo para dois jogadores com tela "
                   "dividida. A demonstração traz duas pistas completas.",
                   "Dica: segure a tecla Shift para usar o nitro nas retas.", kRequisitos});
    // The game reads its data from the disc: the parameter names the folder without a drive.
    d.DirectCommand = "Jogos\\Corrida\\CORRIDA.EXE /:\\Demos\\Jogos\\Corrida\\DADOS";
    d.Screenshots = 14;
    d.PaletteShots = 12;
    d.ShotWidth = 320;
    d.ShotHeight = 200;
    d.HowTo = "//dkCorrida Noturna 3D";
    d.Programs << "Demos/JOGOS/CORRIDA/DADOS/PISTA1.DAT";
    list.push_back(d);
  }
  {
    Demo d = Game("Dragao.dem",
                  "O Dragão de Cristal: A Lenda das Sete Montanhas Perdidas do Reino de Valdora",
                  "Aventura e RPG", "Dragao", "DRAGAO",
                  {"Há mil anos o dragão de cristal protege as sete montanhas do reino de "
                   "Valdora. Agora ele desapareceu, e com ele a paz entre os povos do vale.",
                   "Você é Aldara, aprendiz de feiticeira, e precisa reunir os fragmentos do "
                   "cristal antes que o inverno eterno tome conta de tudo. Converse com mais de "
                   "cem personagens, aprenda quarenta feitiços e explore masmorras, florestas e "
                   "cidades em ruínas.",
                   "O sistema de combate em tempo real permite pausar a ação a qualquer momento "
                   "para dar ordens ao grupo. A trilha sonora foi gravada por uma orquestra "
                   "completa.",
                   "Atenção: esta demonstração precisa ser instalada no disco rígido. Depois da "
                   "instalação, procure o jogo na pasta indicada pelo botão de instruções.",
                   kRequisitos});
    d.RunsFromCD = 0;
    d.MainCommand = "//95 Jogos\\Dragao\\SETUP.EXE";
    d.Programs = {"Demos/JOGOS/DRAGAO/SETUP.EXE"};
    d.HowTo = "//exC:\\Jogos\\Dragao\\";
    d.Screenshots = 5;
    d.ShotWidth = 640;
    d.ShotHeight = 480;
    list.push_back(d);
  }
  {
    Demo d = Game("esgrima.dem", "Esgrima Total", "Duelos de capa e espada", "Esgrima", "Esgrima",
                  {"Aprenda os golpes dos grandes mestres da esgrima e enfrente adversários em "
                   "castelos, navios e telhados de Paris.",
                   kVersao});
    d.HasLogo = false;
    d.Screenshots = 2;
    list.push_back(d);
  }
  {
    Demo d = Game("Futebol98.dem", "Futebol Estrela 98", "O campeonato mundial no seu micro",
                  "Futebol", "FUTEBOL",
                  {"Escolha entre 32 seleções e dispute a taça num campeonato completo, com "
                   "narração em português e estádios lotados.",
                   "Controle total da tática: escale o time, mude o esquema durante o jogo e "
                   "bata faltas com efeito.",
                   kRequisitos});
    d.Screenshots = 0;
    d.HowTo = "//miEsportes\\Futebol Estrela 98";
    list.push_back(d);
  }
  {
    Demo d =
        Game("GALAXIA.DEM", "Galáxia em Chamas", "Estratégia interestelar", "Galaxia", "GALAXIA",
             {"Construa um império entre as estrelas: explore sistemas, funde colônias, "
              "negocie com outras raças e, quando a diplomacia falhar, vença na batalha.",
              "Partidas pela rede local com até oito jogadores.", kInstall});
    d.Screenshots = 10;
    list.push_back(d);
  }
  {
    Demo d = Game("helice.dem", "Hélice: Combate Aéreo", "Simulador da Primeira Guerra", "Helice",
                  "HELICE",
                  {"Voe em biplanos de madeira e lona sobre as trincheiras da França. Física de "
                   "voo realista e modo arcade para iniciantes."});
    // The logo flag is set but the file carries no pictures at all.
    d.HasLogo = true;
    d.Screenshots = 0;
    d.PaletteShots = 0;
    list.push_back(d);
  }
  {
    Demo d = Game("Ilha.dem", "A Ilha do Tesouro Esquecido", "Aventura gráfica", "Ilha", "ILHA",
                  {"Um naufrágio, um mapa rasgado e um papagaio que fala demais. Resolva "
                   "enigmas, converse com piratas e descubra o tesouro do capitão Barbaruiva.",
                   "Cenários pintados à mão em alta resolução e mais de duas horas de diálogos "
                   "falados.",
                   kVersao});
    d.Screenshots = 4;
    d.ShotWidth = 800;
    d.ShotHeight = 600;
    list.push_back(d);
  }
  {
    Demo d = Game("JOQUEI.DEM", "Jóquei Clube", "Corridas de cavalos", "Joquei", "JOQUEI",
                  {"Crie, treine e aposte em cavalos de corrida. Participe dos grandes prêmios "
                   "e torne-se o maior criador do país."});
    d.Screenshots = 2;
    list.push_back(d);
  }
  {
    Demo d =
        Game("labirinto.dem", "Labirinto de Pedra", "Ação em primeira pessoa", "Labirin", "LABIRIN",
             {"Encontre a saída de um labirinto antigo cheio de armadilhas e criaturas. "
              "Cada fase é gerada de novo a cada partida.",
              kRequisitos});
    d.Screenshots = 3;
    d.MainCommand = "//31 Jogos\\Labirin\\INST31.EXE //95 Jogos\\Labirin\\SETUP.EXE";
    list.push_back(d);
  }
  {
    // Its folder lies at the drive root, and it needs the whole machine to itself.
    Demo d;
    d.DemFile = "Mecha.dem";
    d.Category = 0;
    d.Title = "Mecha Guerreiros";
    d.Subtitle = "Robôs gigantes em combate";
    d.Description = Paragraphs(
        {"Monte seu robô de combate peça por peça e enfrente exércitos inteiros em arenas "
         "destrutíveis.",
         "Este jogo usa o modo de tela exclusivo do DirectX: o navegador será fechado antes de "
         "ele começar.",
         kRequisitos});
    d.Folder = "MECHA";
    d.RootRelative = 1;
    d.MustClose = 1;
    d.MainCommand = "//95 MECHA\\SETUP.EXE //31 MECHA\\SETUP16.EXE";
    d.DirectCommand = "MECHA\\MECHA.EXE";
    d.Programs = {"MECHA/SETUP.EXE", "MECHA/setup16.exe", "MECHA/MECHA.EXE"};
    d.HowTo = "//miJogos\\Mecha Guerreiros";
    d.Screenshots = 3;
    list.push_back(d);
  }
  {
    Demo d = Game("NINJA.DEM", "Ninja das Sombras", "Ação e furtividade", "Ninja", "NINJA",
                  {"Infiltre-se no castelo do xogum sem ser visto. Use as sombras, distraia os "
                   "guardas e cumpra sua missão em silêncio."});
    d.DirectCommand = "None";  // not the marker: the choice window still appears
    d.Programs = {"Demos/JOGOS/NINJA/SETUP.EXE", "Demos/JOGOS/NINJA/inst31.exe"};
    list.push_back(d);
  }
  {
    Demo d = Game("orbita.dem", "Órbita Zero", "Simulação espacial", "Orbita", "ORBITA",
                  {"Coloque satélites em órbita, acople módulos e construa sua própria estação "
                   "espacial com física newtoniana de verdade."});
    d.Screenshots = 6;
    list.push_back(d);
  }
  {
    Demo d = Game("Pinball.dem", "Pinball Tropical", "Três mesas cheias de surpresas", "Pinball",
                  "PINBALL",
                  {"Três mesas com temas tropicais, rampas, multibola e placar eletrônico. "
                   "Jogue sozinho ou com até quatro amigos."});
    d.DirectCommand = "Jogos\\Pinball\\PINBALL.EXE /demo";
    list.push_back(d);
  }
  {
    Demo d =
        Game("QUEBRA.DEM", "Quebra-Cabeça Espacial", "Lógica em gravidade zero", "Quebra", "QUEBRA",
             {"Encaixe peças flutuantes antes que o oxigênio da estação acabe. Cem fases "
              "de dificuldade crescente."});
    d.Screenshots = 2;
    d.ShotWidth = 348;
    d.ShotHeight = 261;
    list.push_back(d);
  }
  {
    Demo d = Game("robos.dem", "Robôs em Fúria", "Pancadaria metálica", "Robos", "ROBOS",
                  {"Dez robôs lutadores, cada um com golpes especiais, combos e finalizações. "
                   "Modo torneio e modo treino."});
    list.push_back(d);
  }
  {
    Demo d = Game("Submarino.dem", "Submarino Ártico", "Missões sob o gelo", "Submar", "SUBMAR",
                  {"Comande um submarino nuclear em missões secretas sob a calota polar. Sonar, "
                   "torpedos e muita tensão."});
    d.RunsFromCD = 0;
    d.HowTo = "//exC:\\Arquivos de programas\\Submarino Artico";
    list.push_back(d);
  }
  {
    Demo d = Game("xadrez.dem", "Xadrez Mestre", "Aprenda e jogue xadrez", "Xadrez", "XADREZ",
                  {"Um tabuleiro em 3D, aulas para iniciantes e um adversário que se adapta ao "
                   "seu nível.",
                   "Analise suas partidas e estude as aberturas clássicas com comentários de "
                   "um grande mestre."});
    d.Screenshots = 2;
    list.push_back(d);
  }

  // Applications.
  auto app = [](const char* file, int category, const char* title, const char* subtitle,
                const char* dotFolder, const char* discFolder,
                std::initializer_list<const char*> text) {
    Demo d;
    d.DemFile = QString::fromUtf8(file);
    d.Category = category;
    d.Title = QString::fromUtf8(title);
    d.Subtitle = QString::fromUtf8(subtitle);
    d.Description = Paragraphs(text);
    d.Folder = QString::fromUtf8(dotFolder);
    d.RunsFromCD = 0;
    d.MainCommand = "//95 " + d.Folder + "\\SETUP.EXE";
    d.Programs = {QString::fromUtf8(discFolder) + "/SETUP.EXE"};
    d.HowTo = "//miQuarx\\" + d.Title;
    d.Screenshots = 2;
    d.ShotWidth = 640;
    d.ShotHeight = 480;
    return d;
  };
  list.push_back(app("Desenho.dem", 1, "Estúdio de Desenho 2.0", "Pintura e retoque de fotos",
                     "Aplic\\Desenho", "Demos/APLIC/DESENHO",
                     {"Pincéis realistas, camadas, filtros e retoque de fotografias digitais. "
                      "Abre e grava arquivos BMP, JPEG e PCX.",
                      kInstall}));
  list.push_back(app("editor.dem", 1, "Editor de Textos Pena", "Escreva com estilo", "Aplic\\Pena",
                     "Demos/APLIC/PENA",
                     {"Corretor ortográfico em português, modelos de cartas e currículos, e "
                      "impressão de etiquetas e envelopes."}));
  {
    Demo d = app("PLANILHA.DEM", 1, "Planilha Fácil", "Contas da casa e da empresa",
                 "Aplic\\Planilha", "Demos/APLIC/Planilha",
                 {"Controle o orçamento doméstico, o caixa da empresa e os investimentos com "
                  "modelos prontos e gráficos automáticos."});
    d.RunsFromCD = 1;
    d.DirectCommand = "Aplic\\Planilha\\PLANILHA.EXE";
    d.Programs << "Demos/APLIC/Planilha/PLANILHA.EXE";
    list.push_back(d);
  }
  list.push_back(app("musica.dem", 1, "Compositor Musical", "Partituras e MIDI", "Aplic\\Musica",
                     "Demos/APLIC/MUSICA",
                     {"Escreva partituras, ouça-as tocadas por instrumentos virtuais e grave "
                      "arquivos MIDI para tocar em qualquer micro."}));

  // Internet.
  {
    Demo d = app("navega.dem", 2, "Navegador Rápido 4", "Navegue pela Internet", "Internet\\Navega",
                 "Demos/INTERNET/NAVEGA",
                 {"Um navegador leve, com suporte a quadros, tabelas e Java, ideal para "
                  "conexões por linha discada."});
    d.MainCommand = "//95 Internet\\Navega\\SETUP.EXE /:\\Demos\\Internet\\Navega";
    list.push_back(d);
  }
  list.push_back(app("CORREIO.DEM", 2, "Correio Expresso", "Seu correio eletrônico",
                     "Internet\\Correio", "Demos/INTERNET/CORREIO",
                     {"Leia e escreva mensagens, organize pastas e filtre propagandas "
                      "indesejadas automaticamente."}));
  {
    Demo d = app("chat.dem", 2, "Bate-papo Global", "Converse com o mundo", "BATEPAPO", "BATEPAPO",
                 {"Salas de conversa temáticas, mensagens particulares e envio de arquivos."});
    d.RootRelative = 1;
    d.MainCommand = "//95 BATEPAPO\\SETUP.EXE";
    d.HowTo = "//dkBate-papo";
    list.push_back(d);
  }

  // Screen savers: an empty category on this disc.

  // Utilities.
  list.push_back(app("Antivir.dem", 4, "Vacina Digital", "Proteção contra vírus",
                     "Utilitar\\Vacina", "Demos/UTILITAR/VACINA",
                     {"Examina discos, disquetes e arquivos recebidos pela Internet. Atualização "
                      "mensal da lista de vírus."}));
  list.push_back(app("compacta.dem", 4, "Compactador Zip Plus", "Arquivos menores",
                     "Utilitar\\Compacta", "Demos/UTILITAR/COMPACTA",
                     {"Compacte e descompacte arquivos ZIP, ARJ e LZH com um clique, direto do "
                      "Explorer."}));
  list.push_back(app("DESFRAG.DEM", 4, "Desfragmentador Turbo", "Um disco mais rápido",
                     "Utilitar\\Desfrag", "Demos/UTILITAR/DESFRAG",
                     {"Reorganiza os arquivos do disco rígido em minutos, com o Windows "
                      "funcionando."}));
  return list;
}

}  // namespace demos
