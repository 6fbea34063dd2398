# Writes the page's service worker from its template: the files it keeps with each one's
# SHA-256, which it checks as it fetches them, and a cache name made of the version and a
# digest of those, so that every change of a file gives a new service worker, which
# replaces the old copy, and the same files the same one.
#   cmake -DSITE=<folder> -DFILES=<file;...> -DTEMPLATE=<in> -DOUTPUT=<js> -DVERSION=<v> -P ...
set(digests)
set(quoted)
foreach(file ${FILES})
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  list(APPEND quoted "'${file}': '${digest}'")
endforeach()
string(SHA256 digest "${digests}")
string(SUBSTRING ${digest} 0 16 digest)
set(CASINO_CACHE_NAME "casino-${VERSION}-${digest}")
list(JOIN quoted ", " CASINO_CACHED_FILES)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
