# Generates the message structures (nanopb) and the message layer's field tables, field index names and
# classes from apm.proto at build time, and adds them to the analytics message library.
find_package(nanopb CONFIG REQUIRED)
find_program(NANOPB_GENERATOR nanopb_generator.py REQUIRED)
find_program(QUORVEL_PROTOC protoc REQUIRED)
# The system interpreter: it has the protobuf module the generators import.
find_program(QUORVEL_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

set(APM_PROTO_DIR ${CMAKE_CURRENT_SOURCE_DIR}/proto)
set(APM_GENERATED_ROOT ${PROJECT_BINARY_DIR}/generated)
set(APM_GENERATED_DIR ${APM_GENERATED_ROOT}/analytics/messages/proto)
set(APM_GENERATED
  ${APM_GENERATED_DIR}/apm.pb.c ${APM_GENERATED_DIR}/apm.pb.h
  ${APM_GENERATED_DIR}/apm_message_tables.cpp ${APM_GENERATED_DIR}/apm_message_tables.h
  ${APM_GENERATED_DIR}/apm_messages.h)

add_custom_command(
  OUTPUT ${APM_GENERATED}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${APM_GENERATED_DIR}
  COMMAND ${NANOPB_GENERATOR} -q -D ${APM_GENERATED_DIR} -I ${APM_PROTO_DIR} ${APM_PROTO_DIR}/apm.proto
  COMMAND ${QUORVEL_PROTOC} -I ${APM_PROTO_DIR} --descriptor_set_out=${APM_GENERATED_DIR}/apm.desc apm.proto
  COMMAND ${QUORVEL_SYSTEM_PYTHON} ${APM_PROTO_DIR}/generate_nano_tables.py
          ${APM_GENERATED_DIR}/apm.desc ${APM_GENERATED_DIR}/apm.pb.h ${APM_GENERATED_DIR}
  DEPENDS ${APM_PROTO_DIR}/apm.proto ${APM_PROTO_DIR}/generate_nano_tables.py
  COMMENT "Generating the analytics messages from apm.proto"
  VERBATIM)

target_sources(quorvel_analytics_messages PRIVATE ${APM_GENERATED})
target_include_directories(quorvel_analytics_messages PUBLIC ${APM_GENERATED_ROOT})
target_link_libraries(quorvel_analytics_messages PUBLIC nanopb::protobuf-nanopb-static)
