#include "data/tail_list_file.h"

#include "data/file_access.h"
#include "text/text_codec.h"

namespace qlq {

TailListContent loadTailListFile(const QString& path) {
    TailListContent content;
    const FileReadResult file = readWholeFile(path);
    if (file.status != FileReadResult::Status::Ok) {
        content.problem = file.problem;
        return content;
    }
    const DecodedText decoded = decodeText(file.bytes);
    content.encoding = decoded.encoding;
    content.tails = splitTailLines(decoded.text, &content.lineEnds);
    return content;
}

} // namespace qlq
