#pragma once

#include "data/file_access.h"

#include <QString>

namespace qlq {

// What the windows say about a file problem, the part after "：" in their messages.
QString fileProblemText(const FileProblem& problem);

} // namespace qlq
