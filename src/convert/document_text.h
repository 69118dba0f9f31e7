// The plain text of a converted document, for searching and for piping to
// other tools.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// The plain text of a converted document (Windows-1252 HTML bytes in, UTF-8
// out): tags dropped (and the content of <head>/<style>/<script> dropped),
// entities decoded (&amp; &lt; &gt; &quot; &nbsp; &#NNN; &#xHH;), block tags
// (<p>, <br>, <tr>, <h1..6>, <li>, <div>, <table>) become line breaks, runs of
// blank lines folded. Linear in the input, and never fails on any bytes.
std::string document_text(std::string_view html);

}  // namespace quillet
