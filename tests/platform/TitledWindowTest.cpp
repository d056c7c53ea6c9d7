// Another program finds a window by its exact title and brings it forward; no window, another
// title or a stale socket file must all read as "not found" so the caller starts the program.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocalServer>
#include <QWidget>
#include <future>

#include "platform/TitledWindow.h"

using namespace platform;

namespace {

// The asking side blocks on its socket, so it runs on a thread while this one serves events.
bool AskFromAnotherThread(const QString& title, int timeoutMs = 2000) {
  auto answer = std::async(std::launch::async,
                           [title, timeoutMs] { return RestoreWindowByTitle(title, timeoutMs); });
  while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return answer.get();
}

TEST(TitledWindow, RestoresTheRegisteredWindowOnlyForItsExactTitle) {
  QWidget window;
  TitledWindow registration(&window, QStringLiteral("Explorador MM - Teste ç"));
  ASSERT_TRUE(registration.Registered());
  int restored = 0;
  registration.OnRestore = [&] { ++restored; };

  EXPECT_TRUE(AskFromAnotherThread(QStringLiteral("Explorador MM - Teste ç")));
  EXPECT_EQ(restored, 1);
  EXPECT_FALSE(AskFromAnotherThread(QStringLiteral("Explorador MM - Teste c")));
  EXPECT_EQ(restored, 1);
}

TEST(TitledWindow, DefaultRestoreShowsAMinimisedWindow) {
  QWidget window;
  window.showMinimized();
  TitledWindow registration(&window, QStringLiteral("titled-window-default"));
  ASSERT_TRUE(AskFromAnotherThread(QStringLiteral("titled-window-default")));
  EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
  EXPECT_TRUE(window.isVisible());
}

TEST(TitledWindow, GoneOrStaleWindowIsNotFound) {
  const QString title = QStringLiteral("titled-window-gone");
  {
    QWidget window;
    TitledWindow registration(&window, title);
    ASSERT_TRUE(registration.Registered());
  }
  EXPECT_FALSE(RestoreWindowByTitle(title, 300));

  // A server that never answers (a hung or foreign listener) is not a window either.
  QLocalServer silent;
  QLocalServer::removeServer(TitledWindowServerName(title));
  ASSERT_TRUE(silent.listen(TitledWindowServerName(title)));
  EXPECT_FALSE(AskFromAnotherThread(title, 200));
  silent.close();

  // A second registration of a live title is refused; after the first goes it can register.
  QWidget a, b;
  auto first = std::make_unique<TitledWindow>(&a, title);
  ASSERT_TRUE(first->Registered());
  EXPECT_FALSE(TitledWindow(&b, title).Registered());
  first.reset();
  EXPECT_TRUE(TitledWindow(&b, title).Registered());
}

}  // namespace
