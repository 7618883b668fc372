// The static OpenSSL links into Windows programs and offers its capi engine.
#include <openssl/engine.h>
#include <openssl/ssl.h>

#include <gtest/gtest.h>

TEST(OpenSsl, ClientContextTakesTheCapiEngineForClientCertificates) {
  SSL_load_error_strings();
  SSL_library_init();
  SSL_CTX* ctx = SSL_CTX_new(SSLv23_client_method());
  ASSERT_NE(ctx, nullptr);
  ENGINE_load_capi();
  ENGINE* capi = ENGINE_by_id("capi");
  ASSERT_NE(capi, nullptr);
  EXPECT_EQ(SSL_CTX_set_client_cert_engine(ctx, capi), 1);
  ENGINE_free(capi);
  SSL_CTX_free(ctx);
}
