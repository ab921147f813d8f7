#pragma once

#include <QString>

namespace MTools {

// Shrinks a JavaScript text: removes comments and the white space the
// language does not need, keeps string, template and regular-expression
// literals intact, and keeps a line break or blank wherever removing it would
// join two words or two plus or minus signs. The output starts with a line
// feed when the first significant character is a word character or one of
// { [ ( + - ! ~.
//
// A comment or literal left open at the end of the input ends the scan; the
// result then holds what was produced up to that point (an open literal is
// copied as far as it goes). Each call has its own state, so calls may run
// concurrently.
QString minifyScript(const QString &script);

} // namespace MTools
