# The certificate and key every test server uses: self-signed for localhost, 127.0.0.1 and ::1,
# made once per build directory, so no test waits for a key to be generated. An EC key also
# makes each TLS handshake cheaper than an RSA one. testsupport gets the two paths as
# NOTES_TEST_CERT and NOTES_TEST_KEY.
find_program(NOTES_OPENSSL openssl REQUIRED)

set(notes_test_cert ${CMAKE_CURRENT_BINARY_DIR}/test-certificate/cert.pem)
set(notes_test_key ${CMAKE_CURRENT_BINARY_DIR}/test-certificate/key.pem)

add_custom_command(
  OUTPUT ${notes_test_cert} ${notes_test_key}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/test-certificate
  COMMAND ${NOTES_OPENSSL} req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes
          -days 3650 -subj /CN=localhost
          -addext subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1
          -keyout ${notes_test_key} -out ${notes_test_cert}
  DEPENDS ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Generating the test certificate for localhost"
  VERBATIM)
add_custom_target(test_certificate DEPENDS ${notes_test_cert} ${notes_test_key})

add_dependencies(testsupport test_certificate)
target_compile_definitions(testsupport PUBLIC
  NOTES_TEST_CERT="${notes_test_cert}"
  NOTES_TEST_KEY="${notes_test_key}")
