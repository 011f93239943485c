# Writes the site's service worker from its template: the version is a hash
# of every file the site serves, the file list those files and the site's
# folder itself ("./").
#   cmake -DSITE=DIR -DFILES="a;b;..." -DTEMPLATE=sw.js -P worker.cmake
set(hashes "")
set(list "'./'")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND hashes "${file} ${hash}\n")
  string(APPEND list ", '${file}'")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 VELM_SITE_VERSION)
set(VELM_SITE_FILES ${list})
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
