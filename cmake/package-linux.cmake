# The Linux release: pelorin_<version>_amd64.deb (filled in below).
