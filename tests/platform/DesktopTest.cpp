// The desktop's side of the shell: file associations from desktop entries, the wallpaper
// setting of each desktop, and bringing a window forward.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <future>
#include <QWidget>

#include "platform/DesktopApps.h"
#include "platform/TitledWindow.h"
#include "platform/Wallpaper.h"
#include "platform/WindowForward.h"
#include "support/StandIns.h"

using namespace platform;
using testsupport::StandIns;

namespace {

TEST(DesktopEntryFile, OnlyTheDesktopEntryGroupCounts) {
  const auto entry = ParseDesktopEntry(
      "# comment\n[Other]\nExec=wrong\n[Desktop Entry]\nName=R\nExec = reader %U\nExec=second\n"
      "TryExec=reader\n[Desktop Action new]\nExec=reader --new\n");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->Exec, "reader %U");
  EXPECT_EQ(entry->TryExec, "reader");
  EXPECT_FALSE(ParseDesktopEntry("[Desktop Entry]\nName=x\n"));
  EXPECT_FALSE(ParseDesktopEntry("Exec=x\n"));
  EXPECT_FALSE(ParseDesktopEntry(QByteArray("\xff\xfe[\0\0", 5)));
  EXPECT_TRUE(ParseDesktopEntry("[Desktop Entry]\nExec=x\nHidden=true\n")->Hidden);
}

TEST(DesktopEntryFile, ExecWordsFollowTheQuotingRules) {
  EXPECT_EQ(SplitExec("evince %U"), (QStringList{"evince", "%U"}));
  EXPECT_EQ(SplitExec("\"/opt/My Reader/bin/r\" --x %f"),
            (QStringList{"/opt/My Reader/bin/r", "--x", "%f"}));
  EXPECT_EQ(SplitExec("\"a\\\"b\\\\c\""), QStringList{"a\"b\\c"});
  EXPECT_EQ(SplitExec("  "), QStringList{});
  EXPECT_EQ(SplitExec("\"unterminated"), QStringList{"unterminated"});
}

TEST(Associations, TheDefaultApplicationsCommandAndProgram) {
  StandIns tools;
  EXPECT_EQ(MimeTypeForExtension(".pdf"), "application/pdf");
  EXPECT_EQ(MimeTypeForExtension(QString(".p") + QChar(0) + "df"), "");
  EXPECT_EQ(MimeTypeForExtension("a/.pdf"), "");
  EXPECT_EQ(RegisteredOpenCommand(".pdf"), "");  // no xdg-mime
  tools.AddXdgMime("application/pdf", "reader.desktop");
  EXPECT_EQ(RegisteredOpenCommand(".pdf"), "");  // no entry file
  tools.AddDesktopEntry("reader.desktop", "myreader --view %U");
  EXPECT_EQ(RegisteredOpenCommand(".pdf"), "myreader --view %U");
  EXPECT_EQ(RegisteredOpenCommand(".txt"), "");

  tools.Add("myreader");
  EXPECT_EQ(ResolveRegisteredProgram("myreader"), tools.Bin() + "/myreader");
  EXPECT_EQ(ResolveRegisteredProgram(tools.Bin() + "/myreader"), tools.Bin() + "/myreader");
  EXPECT_EQ(ResolveRegisteredProgram("missing"), "");
  EXPECT_EQ(ResolveRegisteredProgram("./myreader"), "");
  // Several words cannot be one program: the desktop's opener stands for them.
  EXPECT_EQ(ResolveRegisteredProgram("flatpak run org.reader"), "");
  tools.Add("xdg-open");
  EXPECT_EQ(ResolveRegisteredProgram("flatpak run org.reader"), tools.Bin() + "/xdg-open");
}

TEST(DesktopWallpaper, EachDesktopIsToldInItsOwnWay) {
  StandIns tools;
  const QString picture = tools.Home() + "/it's a picture.bmp";
  EXPECT_FALSE(SetDesktopWallpaper(picture).Set);  // nobody answers

  tools.Add("gsettings");
  qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
  const auto gnome = SetDesktopWallpaper(picture);
  EXPECT_TRUE(gnome.Set);
  EXPECT_EQ(gnome.Desktop, "gnome");
  const auto calls = tools.CallsOf("gsettings");
  ASSERT_EQ(calls.size(), 2);
  const QString uri = "'file://" + tools.Home() + "/it\\'s%20a%20picture.bmp'";
  EXPECT_EQ(calls[0].mid(1, 4),
            (QStringList{"set", "org.gnome.desktop.background", "picture-uri", uri}));
  EXPECT_EQ(calls[1].mid(1, 4),
            (QStringList{"set", "org.gnome.desktop.background", "picture-uri-dark", uri}));

  // A desktop that refuses hands over to the next one present.
  tools.Add("gsettings", {}, 1);
  tools.Add("xfconf-query",
            "[ \"$3\" = -l ] && printf '/backdrop/screen0/monitor0/image-path\\n"
            "/backdrop/screen0/monitorHDMI/workspace0/last-image\\n"
            "/backdrop/screen0/monitor0/workspace0/last-image\\n'");
  qputenv("XDG_CURRENT_DESKTOP", "KDE");
  const auto xfce = SetDesktopWallpaper(picture);
  EXPECT_EQ(xfce.Desktop, "xfce");
  const auto sets = tools.CallsOf("xfconf-query");
  ASSERT_EQ(sets.size(), 3);
  EXPECT_EQ(sets[1].mid(3, 4), (QStringList{"-p", "/backdrop/screen0/monitorHDMI/workspace0/last-image",
                                            "-s", picture}));
  EXPECT_EQ(sets[2].at(4), "/backdrop/screen0/monitor0/workspace0/last-image");

  tools.Add("plasma-apply-wallpaperimage");
  EXPECT_EQ(SetDesktopWallpaper(picture).Desktop, "kde");
  EXPECT_EQ(tools.CallsOf("plasma-apply-wallpaperimage").last().at(1), picture);

  // The portal comes first where a session bus is.
  tools.Add("gdbus");
  qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
  EXPECT_EQ(SetDesktopWallpaper(picture).Desktop, "portal");
  const QStringList portal = tools.CallsOf("gdbus").last();
  EXPECT_EQ(portal.mid(1, 10),
            (QStringList{"call", "--session", "--dest", "org.freedesktop.portal.Desktop",
                         "--object-path", "/org/freedesktop/portal/desktop", "--method",
                         "org.freedesktop.portal.Wallpaper.SetWallpaperURI", "''", uri}));
}

TEST(WindowForward, ARegisteredWindowAnswersItsTitle) {
  StandIns tools;  // no DISPLAY: only a registered window can answer
  const QString title = QString("Explorador MM - test %1").arg(QCoreApplication::applicationPid());
  EXPECT_FALSE(BringWindowForward(title));
  QWidget window;
  TitledWindow registered(&window, title);
  ASSERT_TRUE(registered.Registered());
  int restored = 0;
  registered.OnRestore = [&] { ++restored; };
  // The window answers from this thread's event loop, as another program's would.
  auto asked = std::async(std::launch::async, [&] { return BringWindowForward(title); });
  while (asked.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(asked.get());
  EXPECT_EQ(restored, 1);
}

TEST(WindowForward, OtherWindowsThroughTheWindowManager) {
  StandIns tools;
  tools.Add("wmctrl", "[ \"$3\" = 'Copiador de DLLs e afins - 32bits' ] || exit 1");
  EXPECT_FALSE(BringWindowForward("Copiador de DLLs e afins - 32bits"));  // no X11 display
  qputenv("DISPLAY", ":99");
  EXPECT_TRUE(BringWindowForward("Copiador de DLLs e afins - 32bits"));
  EXPECT_FALSE(BringWindowForward("Programa de Instalação do DirectX(tm)"));
  EXPECT_EQ(tools.CallsOf("wmctrl").first().mid(1, 3),
            (QStringList{"-F", "-a", "Copiador de DLLs e afins - 32bits"}));
}

}  // namespace
