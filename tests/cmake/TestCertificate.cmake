# The certificates the test servers use, made once per build directory, so no test waits for a
# key to be generated. An EC key also makes each TLS handshake cheaper than an RSA one. All name
# localhost, 127.0.0.1 and ::1:
#   cert/key            self-signed; every test server's default (NOTES_TEST_CERT, NOTES_TEST_KEY)
#   other-cert/key      self-signed with another key: the same server after a key change
#   ca-signed-cert/key  signed by a test CA (NOTES_TEST_CA_CERT) that a test adds to the CAs the
#                       client trusts, as a certificate from a public CA would verify
# Each certificate also gets the SHA-256 of its SubjectPublicKeyInfo, in base64, as openssl
# computes it (<name>.spki), to compare the client's fingerprints with.
find_program(NOTES_OPENSSL openssl REQUIRED)

set(notes_cert_dir ${CMAKE_CURRENT_BINARY_DIR}/test-certificate)
set(notes_ec_key -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 3650)
set(notes_localhost -subj /CN=localhost -addext subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1)

add_custom_command(
  OUTPUT ${notes_cert_dir}/ca-cert.pem ${notes_cert_dir}/ca-key.pem
  COMMAND ${CMAKE_COMMAND} -E make_directory ${notes_cert_dir}
  COMMAND ${NOTES_OPENSSL} req -x509 ${notes_ec_key} -subj "/CN=Notes Test CA"
          -keyout ${notes_cert_dir}/ca-key.pem -out ${notes_cert_dir}/ca-cert.pem
  DEPENDS ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Generating the test CA"
  VERBATIM)

set(notes_cert_outputs)
foreach(name cert other-cert ca-signed-cert)
  string(REPLACE "cert" "key" key ${name})
  set(issuer)
  set(depends ${CMAKE_CURRENT_LIST_FILE})
  if(name STREQUAL "ca-signed-cert")
    set(issuer -addext basicConstraints=critical,CA:FALSE
               -CA ${notes_cert_dir}/ca-cert.pem -CAkey ${notes_cert_dir}/ca-key.pem)
    list(APPEND depends ${notes_cert_dir}/ca-cert.pem)
  endif()
  add_custom_command(
    OUTPUT ${notes_cert_dir}/${name}.pem ${notes_cert_dir}/${key}.pem ${notes_cert_dir}/${name}.spki
    COMMAND ${CMAKE_COMMAND} -E make_directory ${notes_cert_dir}
    COMMAND ${NOTES_OPENSSL} req -x509 ${notes_ec_key} ${notes_localhost} ${issuer}
            -keyout ${notes_cert_dir}/${key}.pem -out ${notes_cert_dir}/${name}.pem
    COMMAND sh -c "${NOTES_OPENSSL} x509 -in \"$0\" -pubkey -noout | ${NOTES_OPENSSL} pkey -pubin -outform der | ${NOTES_OPENSSL} dgst -sha256 -binary | ${NOTES_OPENSSL} base64 > \"$1\""
            ${notes_cert_dir}/${name}.pem ${notes_cert_dir}/${name}.spki
    DEPENDS ${depends}
    COMMENT "Generating the test certificate ${name}"
    VERBATIM)
  list(APPEND notes_cert_outputs ${notes_cert_dir}/${name}.pem)
endforeach()
add_custom_target(test_certificate DEPENDS ${notes_cert_outputs})

add_dependencies(testsupport test_certificate)
target_compile_definitions(testsupport PUBLIC
  NOTES_TEST_CERT_DIR="${notes_cert_dir}"
  NOTES_TEST_CERT="${notes_cert_dir}/cert.pem"
  NOTES_TEST_KEY="${notes_cert_dir}/key.pem"
  NOTES_TEST_CA_CERT="${notes_cert_dir}/ca-cert.pem")
