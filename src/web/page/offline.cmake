# Writes the page's service worker (PAGE/service_worker.js) from TEMPLATE:
# the list of the page's files, and a cache name made from their contents.
#   cmake -DPAGE=FOLDER -DTEMPLATE=offline.js -P offline.cmake
set(worker service_worker.js)
file(GLOB_RECURSE files RELATIVE ${PAGE} ${PAGE}/*)
list(REMOVE_ITEM files ${worker})
list(SORT files)
set(hashes "")
set(listed "")
foreach(file ${files})
    file(SHA256 ${PAGE}/${file} hash)
    string(APPEND hashes "${file} ${hash}\n")
    string(APPEND listed "  '${file}',\n")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 CACHE_VERSION)
set(PAGE_FILES "${listed}")
configure_file(${TEMPLATE} ${PAGE}/${worker} @ONLY)
