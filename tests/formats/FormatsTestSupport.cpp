#include "FormatsTestSupport.h"

namespace formatstest {

QString DiscPath(const QString& hostPath) {
  return hostPath;
}

}  // namespace formatstest
