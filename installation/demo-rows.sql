-- Sample records of the demo installation (vorta-install --demo), on top of the
-- installation data: a slaughterhouse, a cattle raiser, a veterinarian, accountants
-- and municipalities of their own. The month's reference values and the
-- slaughterhouse's movement are added by the program for the month in which it runs.

INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_CEPInicial, Mun_CEPFinal, Mun_UF, Age_Codigo) VALUES
  (999000, 'NOVA ESPERANCA DO OESTE', '77420000', '77420000', 'QX', '10002'),
  (999001, 'SERRA DOURADA', '77430000', '77430000', 'QX', '10004');

INSERT INTO Responsavel (Resp_CPF, Resp_CRC, Resp_Nome, Resp_DDDFone, Resp_Fone, Resp_Email, Resp_TipoCRC,
  Resp_CRC_Empresa, Resp_NomeEscritorio, Resp_TipoCRCEmpresa, TipLog_Codigo, Resp_Logradouro, Resp_Numero,
  TipBai_Codigo, Resp_Bairro, Resp_CEP, Mun_Endereco, Resp_UF) VALUES
  ('12345678909', 'QX012345', 'MARIA APARECIDA SOUZA', '61', '32151234', 'maria@contabil.example', 1,
   'QX000987', 'SOUZA CONTABILIDADE', 3, 'AV', 'DAS PALMEIRAS', '120', 'CEN', 'CENTRO', '77000100', 1001, 'QX'),
  ('98765432100', 'QX054321', 'JOSE CARLOS PEREIRA', '63', '34121100', 'jose@contabil.example', 2,
   NULL, NULL, NULL, 'R', 'SETE DE SETEMBRO', '45', 'SET', 'NORTE', '77300200', 1002, 'QX');

-- The slaughterhouse: a state registration from 280000000 on with a trade name.
INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Tipo, Con_Nome, Con_NomePropr, TipLog_Codigo, Con_Logradouro,
  Con_Numero, TipBai_Codigo, Con_Bairro, Con_UF, Con_CEP, Con_DDDFone, Con_Fone, Con_Email, Age_Codigo,
  Resp_CPF, Mun_Endereco, Con_FormaEntrega, Con_RegICMS) VALUES
  ('281234566', 'IE', 'FRIGORIFICO BOA CARNE LTDA', 'FRIGORIFICO BOA CARNE', 'ROD', 'QX-050 KM 12', '1',
   'ZR', 'ZONA RURAL', 'QX', '77010000', '61', '32150000', 'contato@boacarne.example', '10001',
   '12345678909', 1001, 1, 1);

-- The cattle raiser: a rural producer with a property.
INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Tipo, Con_Nome, Con_NomePropr, End_CPF, Con_TipoCPFCNPJ,
  TipLog_Codigo, Con_Logradouro, Con_Numero, TipBai_Codigo, Con_Bairro, Con_UF, Con_CEP, Con_DDDFone, Con_Fone,
  Age_Codigo, Resp_CPF, Mun_Endereco, Mun_Propriedade, Con_FormaEntrega, Con_RegICMS) VALUES
  ('293456780', 'IE', 'ANTONIO RIBEIRO DA SILVA', 'FAZENDA SANTA RITA', '11144477735', 'CPF',
   'FAZ', 'SANTA RITA', 'SN', 'ZR', 'ZONA RURAL', 'QX', '77350000', '64', '34110022',
   '10003', '98765432100', 1003, 1003, 1, 4);

INSERT INTO Endereco (End_CPF, TipLog_Codigo, End_Logradouro, End_Numero, TipBai_Codigo, End_Bairro, End_CEP,
  End_UF, End_DDDFone, End_Fone, Mun_Codigo) VALUES
  ('11144477735', 'R', 'DOS BURITIS', '300', 'CEN', 'CENTRO', '77350100', 'QX', '64', '34110022', 1003);

INSERT INTO Qel_Contribuinte_Complemento (con_iecnpjcpf, cco_num_sif, cco_num_cad_pradel) VALUES
  ('281234566', '1234', NULL),
  ('293456780', NULL, '00012345');

INSERT INTO Qel_Tecnico (Tec_Codigo, Tec_Nome, Tec_CPF, Tec_Endereco, Tec_Bairro, Tec_CEP, Tec_Telefone,
  Tec_Conselho, Tec_Nro_Conselho, Mun_Codigo, Tec_UF) VALUES
  (1, 'PAULO HENRIQUE MOREIRA', '32165498791', 'RUA DAS FLORES, 88', 'CENTRO', '77000200', '6132159876',
   'CRMV', '04567', 1001, 'QX');
