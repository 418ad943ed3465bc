-- Reference rows installed with the tables.

INSERT INTO Logradouro (TipLog_Codigo, TipLog_Descricao) VALUES
  ('AL', 'ALAMEDA'), ('AV', 'AVENIDA'), ('BC', 'BECO'), ('EST', 'ESTRADA'),
  ('LGO', 'LARGO'), ('PC', 'PRACA'), ('PQ', 'PARQUE'), ('ROD', 'RODOVIA'),
  ('R', 'RUA'), ('TV', 'TRAVESSA'), ('VL', 'VILA'), ('FAZ', 'FAZENDA');

INSERT INTO Bairro (TipBai_Codigo, TipBai_Descricao) VALUES
  ('B', 'BAIRRO'), ('CJ', 'CONJUNTO'), ('JD', 'JARDIM'), ('PQ', 'PARQUE'),
  ('RES', 'RESIDENCIAL'), ('SET', 'SETOR'), ('VL', 'VILA'), ('ZR', 'ZONA RURAL'),
  ('CEN', 'CENTRO'), ('LOT', 'LOTEAMENTO');

INSERT INTO RegICMS (RegICMS_Codigo, RegICMS_Descricao) VALUES
  (1, 'NORMAL'), (2, 'SIMPLES NACIONAL'), (3, 'MICROEMPRESA'), (4, 'PRODUTOR RURAL'),
  (5, 'ESTIMATIVA');

INSERT INTO FormaEntr (FormaEntr_Codigo, FormaEntr_Descricao) VALUES
  (1, 'MENSAL'), (2, 'TRIMESTRAL'), (3, 'SEMESTRAL'), (4, 'ANUAL');

INSERT INTO TipoResp (TipoResp_Codigo, TipoResp_Descricao) VALUES
  (1, 'CONTADOR'), (2, 'TECNICO CONTABIL'), (3, 'ESCRITORIO');

INSERT INTO Agenfa (Age_Codigo, Age_Nome, Age_DDD, Age_Fone) VALUES
  ('10001', 'AGENFA CAPITAL', '61', '32100001'),
  ('10002', 'AGENFA NORTE', '63', '32100002'),
  ('10003', 'AGENFA SUL', '64', '32100003'),
  ('10004', 'AGENFA LESTE', '62', '32100004');

INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_CEPInicial, Mun_CEPFinal, Mun_UF, Age_Codigo) VALUES
  (1001, 'PORTO DAS ARAUCARIAS', '77000000', '77299999', 'QX', '10001'),
  (1002, 'SANTA LUZIA DO NORTE', '77300000', '77349999', 'QX', '10002'),
  (1003, 'BOA VISTA DO SUL', '77350000', '77399999', 'QX', '10003'),
  (1004, 'RIO CLARO', '77400000', '77400000', 'QX', '10004'),
  (1005, 'CAMPO ALEGRE', '77410000', '77410000', 'QX', '10003');

-- The incentive programme's percentages by maturity band and the ICMS rate.
INSERT INTO Qel_Parametros (par_perc_incentivo_dl, par_perc_incentivo_2d, par_perc_incentivo_4d, par_perc_icms)
  VALUES (67, 50, 33, 12);

INSERT INTO qel_maturidade (mat_codigo, mat_descricao, mat_macho_femea, mat_num_dentes) VALUES
  ('JD', 'MACHO CASTRADO DENTE DE LEITE', 'M', 0), ('J2', 'MACHO CASTRADO ATE 2 DENTES', 'M', 2),
  ('J4', 'MACHO CASTRADO ATE 4 DENTES', 'M', 4), ('TD', 'MACHO INTEIRO DENTE DE LEITE', 'M', 0),
  ('T2', 'MACHO INTEIRO ATE 2 DENTES', 'M', 2), ('T4', 'MACHO INTEIRO ATE 4 DENTES', 'M', 4),
  ('A', 'MACHO CASTRADO ADULTO', 'M', 8), ('I', 'MACHO INTEIRO ADULTO', 'M', 8),
  ('JFD', 'FEMEA DENTE DE LEITE', 'F', 0), ('JF2', 'FEMEA ATE 2 DENTES', 'F', 2),
  ('JF4', 'FEMEA ATE 4 DENTES', 'F', 4), ('AF', 'FEMEA ADULTA', 'F', 8), ('IF', 'FEMEA ADULTA INTEIRA', 'F', 8);

INSERT INTO qel_conformacao (cof_codigo, cof_descricao) VALUES
  ('C', 'CONVEXA'), ('SC', 'SUBCONVEXA'), ('RE', 'RETILINEA'), ('SR', 'SUBRETILINEA'),
  ('CO', 'CONCAVA'), ('*', 'DIF');

INSERT INTO qel_acabamento (aca_codigo, aca_descricao) VALUES
  (1, 'GORDURA AUSENTE'), (2, 'GORDURA ESCASSA'), (3, 'GORDURA MEDIANA'), (4, 'GORDURA UNIFORME'),
  (5, 'GORDURA EXCESSIVA');

INSERT INTO qel_tipificacao (tip_codigo, tip_kg_macho, tip_kg_femea) VALUES
  ('B', 225, 180), ('R', 225, 180), ('A', 225, 180), ('S', 225, 180), ('I', 225, 180), ('L', 225, 180);
