#!/bin/sh
# Test certificates in folder $1: a CA, and server certificates for
# localhost issued by it (good.*), for another name (wrong_host.*), expired
# (expired.*), and one signed by itself (self_signed.*).
set -eu
dir=$1
cd "$dir"
q() { "$@" >/dev/null 2>&1; }

q openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt \
  -days 30 -subj "/CN=Mirokata Test CA"

issue() {  # name, common name, alternative names
  q openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" \
    -subj "/CN=$2"
  printf 'subjectAltName=%s\n' "$3" > "$1.ext"
  q openssl x509 -req -in "$1.csr" -CA ca.crt -CAkey ca.key \
    -CAcreateserial -out "$1.crt" -days 30 -extfile "$1.ext"
}
issue good localhost "DNS:localhost,IP:127.0.0.1"
issue wrong_host other.example "DNS:other.example"

# An expired one needs explicit dates: openssl ca with a throwaway database.
mkdir -p ca_db
: > ca_db/index.txt
echo 01 > ca_db/serial
cat > ca.cnf <<CNF
[ca]
default_ca = test
[test]
dir = $dir/ca_db
database = \$dir/index.txt
serial = \$dir/serial
new_certs_dir = \$dir
default_md = sha256
policy = any
unique_subject = no
copy_extensions = copy
[any]
commonName = supplied
CNF
q openssl req -newkey rsa:2048 -nodes -keyout expired.key -out expired.csr \
  -subj "/CN=localhost" -addext "subjectAltName=DNS:localhost,IP:127.0.0.1"
q openssl ca -batch -config ca.cnf -cert ca.crt -keyfile ca.key \
  -startdate 20200101000000Z -enddate 20200201000000Z \
  -in expired.csr -out expired.crt

q openssl req -x509 -newkey rsa:2048 -nodes -keyout self_signed.key \
  -out self_signed.crt -days 30 -subj "/CN=localhost" \
  -addext "subjectAltName=DNS:localhost,IP:127.0.0.1"
echo ok
