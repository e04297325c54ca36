#include "audio/mpeg/huffman.h"

namespace mpeg {

void BuildHuffmanTables(HuffmanTables&) {}

}  // namespace mpeg
