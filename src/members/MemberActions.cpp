#include "MemberActions.h"

namespace members {
void installActions(QWidget *) {}
} // namespace members
