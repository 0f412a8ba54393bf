# The Windows release: pelorin-<version>-win64.zip (filled in below).
