#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::puts("lumex: not yet");
  return 0;
}
