// Text in tables is bytes in the table's code page; the user interface speaks
// UTF-8. These helpers convert at that boundary.
#pragma once

#include <cstdint>
#include <string>

namespace xb {

enum class CodePage { kWindows1252, kUtf8Passthrough };

// The code page a DBF header's language-driver byte stands for. 0 (not said)
// and the Windows-1252 drivers map to Windows-1252.
CodePage CodePageFromLanguageDriver(uint8_t ldid);
uint8_t LanguageDriverFor(CodePage cp);  // what new tables write

std::string ToUtf8(const std::string& bytes, CodePage cp = CodePage::kWindows1252);
// Characters the code page cannot hold become '?'.
std::string FromUtf8(const std::string& utf8, CodePage cp = CodePage::kWindows1252);

}  // namespace xb
