# Writes the site's index.html from the page's markup. The preview picture's
# address is relative ("preview.png") unless the site's address is given, then
# absolute, as link previews want it; the page's own address (og:url) is
# written only then, and its tag left out otherwise.
#   cmake -DTEMPLATE=index.html -DOUTPUT=site/index.html [-DSITE_URL=https://host/dir/]
#         -P page.cmake
file(READ ${TEMPLATE} page)
# Only these two names are replaced: the rest of the page (its style sheet's
# @-rules, its scripts) is copied as it is.
if(SITE_URL)
  string(REPLACE "@VELM_SITE_URL@" "${SITE_URL}" page "${page}")
  string(REPLACE "@VELM_PREVIEW_URL@" "${SITE_URL}preview.png" page "${page}")
else()
  string(REGEX REPLACE "[^\n]*@VELM_SITE_URL@[^\n]*\n" "" page "${page}")
  string(REPLACE "@VELM_PREVIEW_URL@" "preview.png" page "${page}")
endif()
file(WRITE ${OUTPUT} "${page}")
