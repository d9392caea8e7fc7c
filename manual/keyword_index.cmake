# Writes the manual's keyword page from the pages themselves: every page's
# <meta name="keywords"> entries, each linked to the page, with a search
# field that narrows the list as one types.
#   cmake -DSOURCE_DIR=<pages> -DOUTPUT=<keywords.html> -P keyword_index.cmake
file(GLOB pages RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.html")
set(entries)
foreach(page IN LISTS pages)
  if(page STREQUAL "keywords.html")
    continue()
  endif()
  file(READ "${SOURCE_DIR}/${page}" text)
  string(REGEX MATCH "<title>([^<]*)</title>" found "${text}")
  set(title "${CMAKE_MATCH_1}")
  string(REGEX MATCH "<meta name=\"keywords\" content=\"([^\"]*)\">" found "${text}")
  if(NOT found)
    message(FATAL_ERROR "${page}: no <meta name=\"keywords\" content=\"...\">")
  endif()
  string(REPLACE "," ";" keywords "${CMAKE_MATCH_1}")
  foreach(keyword IN LISTS keywords)
    list(APPEND entries "${keyword}|${page}|${title}")
  endforeach()
endforeach()
list(SORT entries)
set(items "")
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 keyword)
  list(GET parts 1 page)
  list(GET parts 2 title)
  string(APPEND items "<li><a href=\"${page}\">${keyword}</a> — ${title}</li>\n")
endforeach()
file(WRITE "${OUTPUT}" "<!DOCTYPE html>
<html lang=\"ja\">
<head><meta charset=\"utf-8\"><title>キーワードで検索</title>
<link rel=\"stylesheet\" href=\"style.css\"></head>
<body>
<nav><a href=\"index.html\">目次</a><a href=\"keywords.html\">キーワードで検索</a></nav>
<h1>キーワードで検索</h1>
<p><label>キーワード: <input id=\"query\" type=\"search\" autofocus></label></p>
<ul id=\"keywords\">
${items}</ul>
<p id=\"none\" hidden>見つかりません。<a href=\"index.html\">目次</a>から探してください。</p>
<script>
// Width, case and hiragana/katakana differences do not count.
function fold(text) {
  return text.normalize('NFKC').toLowerCase()
      .replace(/[\\u3041-\\u3096]/g, c => String.fromCharCode(c.charCodeAt(0) + 0x60));
}
const query = document.getElementById('query');
function narrow() {
  const wanted = fold(query.value.trim());
  let shown = 0;
  for (const item of document.querySelectorAll('#keywords li')) {
    const match = fold(item.textContent).includes(wanted);
    item.hidden = !match;
    if (match) ++shown;
  }
  document.getElementById('none').hidden = shown > 0;
}
query.addEventListener('input', narrow);
query.value = new URLSearchParams(location.search).get('q') || '';
narrow();
</script>
</body>
</html>
")
